// The strip's loader: one request per photo, served on the worker threads.
#include "photos/vignettes/ChargeurVignettes.h"

#include "photos/vignettes/CacheVignettes.h"
#include "photos/vignettes/PhotoOuverte.h"
#include "platform/Priorite.h"

#include <QRunnable>
#include <QThread>
#include <cmath>
#include <cstdlib>

namespace kavel {

QSize tailleFente(QSize naturelle, const Fente &fente)
{
    const int largeur = naturelle.isValid() && naturelle.height() > 0
        ? std::max(1, int(std::lround(double(naturelle.width()) * fente.hauteur / naturelle.height())))
        : fente.hauteur * 3 / 2;
    return {std::min(largeur, fente.largeurMax), fente.hauteur};
}

QSize enPixels(QSize taille, qreal ratio)
{
    return ratio == 1 ? taille : QSize(std::max(1, int(std::lround(taille.width() * ratio))),
                                       std::max(1, int(std::lround(taille.height() * ratio))));
}

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

struct Fait {
    QSize naturelle;
    QImage image;
};

// A photo's natural size and picture: the shared cache's thumbnail when it
// holds a valid one large enough, with the photo's proportions, else
// decoded at that thumbnail's size and written there.
Fait fait(const QString &path, const Fente &fente, const ChargeurVignettes::Decodeur &decodeur,
          std::atomic<int> &decodages)
{
    using namespace cachevignettes;
    PhotoOuverte photo(path);
    const QSize naturelle = photo.naturelle();
    const QSize voulue = enPixels(tailleFente(naturelle, fente), fente.ratio);
    const std::optional<cachevignettes::Source> source = cachevignettes::source(path);
    const int classe = source && naturelle.isValid() ? classePour(naturelle, voulue) : 0;
    if (classe) {
        const QImage trouvee = lit(*source, classe);
        if (!trouvee.isNull() && memesProportions(trouvee.size(), naturelle))
            return {naturelle, ajuste(trouvee, voulue)};
    }
    decodages.fetch_add(1, std::memory_order_relaxed);
    const QSize taille = classe ? tailleDansClasse(naturelle, classe) : voulue;
    const QImage image = decodeur ? decodeur(path, taille) : photo.vignette(taille);
    if (image.isNull())
        return {naturelle, {}};
    if (classe)
        ecrit(*source, classe, image);
    return {naturelle, ajuste(image, voulue)};
}

} // namespace

ChargeurVignettes::ChargeurVignettes(QObject *parent)
    : QObject(parent)
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

void ChargeurVignettes::demande(const QString &path, Fente fente, int priorite)
{
    if (m_requetes.contains(path))
        return;
    Requete r{++m_numero, std::make_shared<std::atomic<bool>>(false)};
    m_requetes.insert(path, r);
    {
        const std::lock_guard verrou(m_verrou);
        m_attente.emplace(std::pair(-priorite, r.numero), Tache{path, fente, r.abandon, m_decodeur});
    }
    m_pool.start([this] { servit(); });
}

// On a worker: the first request waiting.
void ChargeurVignettes::servit()
{
    Tache t;
    quint64 numero = 0;
    {
        const std::lock_guard verrou(m_verrou);
        if (m_attente.empty())
            return;
        numero = m_attente.begin()->first.second;
        t = std::move(m_attente.begin()->second);
        m_attente.erase(m_attente.begin());
    }
    if (t.abandon->load())
        return;
    platform::cedeLaPlace();
    const Fait f = fait(t.path, t.fente, t.decodeur, m_decodages);
    if (t.abandon->load())
        return;
    QMetaObject::invokeMethod(
        this, [this, path = t.path, numero, f] { termine(path, numero, f.naturelle, f.image); },
        Qt::QueuedConnection);
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

void ChargeurVignettes::termine(const QString &path, quint64 numero, QSize naturelle,
                                const QImage &image)
{
    const auto it = m_requetes.constFind(path);
    if (it == m_requetes.cend() || it->numero != numero)
        return; // forgotten meanwhile
    m_requetes.erase(it);
    emit prete(path, naturelle, image);
}

} // namespace kavel
