#include "photos/vignettes/ChargeurVignettes.h"

#include "photos/vignettes/CacheVignettes.h"
#include "photos/vignettes/Miniatures.h"
#include "platform/Priorite.h"

#include <QRunnable>
#include <QThread>
#include <cstdlib>

namespace kavel {

namespace {

QImage ajuste(const QImage &image, QSize voulue)
{
    return image.size() == voulue ? image : image.scaled(voulue, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// Whether a thumbnail has a photo's proportions, give or take a pixel on
// each side: one made by a reader that did not turn the photo upright has
// not, and is made again.
bool memesProportions(QSize vignette, QSize photo)
{
    const qint64 ecart =
        qint64(vignette.width()) * photo.height() - qint64(vignette.height()) * photo.width();
    return std::abs(ecart) <= qint64(photo.width()) + photo.height();
}

// A photo's picture: the shared cache's thumbnail when it holds a valid one
// large enough, with the photo's proportions, else decoded at that
// thumbnail's size and written there.
QImage fait(const QString &path, QSize naturelle, QSize voulue, const ChargeurVignettes::Decodeur &decodeur,
            std::atomic<int> &decodages)
{
    using namespace cachevignettes;
    const std::optional<Source> source = cachevignettes::source(path);
    const int classe = source && naturelle.isValid() ? classePour(naturelle, voulue) : 0;
    if (classe) {
        const QImage trouvee = lit(*source, classe);
        if (!trouvee.isNull() && memesProportions(trouvee.size(), naturelle))
            return ajuste(trouvee, voulue);
    }
    decodages.fetch_add(1, std::memory_order_relaxed);
    const QImage image = decodeur(path, classe ? tailleDansClasse(naturelle, classe) : voulue);
    if (image.isNull())
        return {};
    if (classe)
        ecrit(*source, classe, image);
    return ajuste(image, voulue);
}

} // namespace

ChargeurVignettes::ChargeurVignettes(QObject *parent)
    : QObject(parent), m_decodeur(chargeVignette)
{
    m_pool.setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
}

ChargeurVignettes::~ChargeurVignettes()
{
    for (const Requete &r : std::as_const(m_requetes))
        r.abandon->store(true);
    m_pool.clear();
    m_pool.waitForDone();
}

void ChargeurVignettes::setDecodeur(Decodeur decodeur)
{
    m_decodeur = std::move(decodeur);
}

void ChargeurVignettes::demande(const QString &path, QSize naturelle, QSize voulue, int priorite)
{
    if (m_requetes.contains(path))
        return;
    Requete r{++m_numero, std::make_shared<std::atomic<bool>>(false)};
    m_requetes.insert(path, r);
    m_pool.start(
        [this, path, naturelle, voulue, numero = r.numero, abandon = r.abandon, decodeur = m_decodeur] {
            if (abandon->load())
                return;
            platform::cedeLaPlace();
            const QImage image = fait(path, naturelle, voulue, decodeur, m_decodages);
            if (abandon->load())
                return;
            QMetaObject::invokeMethod(this, [this, path, numero, image] { termine(path, numero, image); },
                                      Qt::QueuedConnection);
        },
        priorite);
}

void ChargeurVignettes::garde(const QStringList &paths)
{
    for (auto it = m_requetes.begin(); it != m_requetes.end();) {
        if (paths.contains(it.key())) {
            ++it;
        } else {
            it->abandon->store(true);
            it = m_requetes.erase(it);
        }
    }
}

void ChargeurVignettes::termine(const QString &path, quint64 numero, const QImage &image)
{
    const auto it = m_requetes.constFind(path);
    if (it == m_requetes.cend() || it->numero != numero)
        return; // forgotten meanwhile
    m_requetes.erase(it);
    emit prete(path, image);
}

} // namespace kavel
