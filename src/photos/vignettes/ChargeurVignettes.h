#pragma once

// The strip's pictures, made off the window's thread.

#include <QHash>
#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

namespace kavel {

// A slot of the strip: its height and widest width in the window's pixels,
// and the screen's ratio of device pixels.
struct Fente {
    int hauteur = 0;
    int largeurMax = 0;
    qreal ratio = 1;
};
// The slot's size for a photo of that natural size: the photo's
// proportions at the slot's height; 3:2 when the size is unknown.
QSize tailleFente(QSize naturelle, const Fente &fente);
// The device pixels of a picture of that size on a screen of that ratio.
QSize enPixels(QSize taille, qreal ratio);

// Makes the strip's pictures off the window's thread, on every core: each
// photo file is opened once, for its size and its picture; its picture is
// first looked up in the desktop's shared thumbnail cache, and
// only decoded when it is not there, after which its thumbnail is written
// there for the next time. Pictures come back, on the thread that owns the
// loader, through pretes(); a request no longer wanted is dropped before it
// starts, or its picture thrown away when it was already being made.
class ChargeurVignettes : public QObject {
    Q_OBJECT
public:
    // Makes a photo's picture at a size, null when it cannot be read.
    using Decodeur = std::function<QImage(const QString &path, QSize taille)>;

    explicit ChargeurVignettes(QObject *parent = nullptr);
    // Drops what has not started and waits for what has.
    ~ChargeurVignettes() override;

    // Asks for a photo's natural size and its picture in a slot (the slot's
    // size follows from the photo's); the higher the priority, the sooner.
    // Asking again for a picture under way does nothing.
    void demande(const QString &path, Fente fente, int priorite);
    // Forgets every request for a photo not in the list.
    void garde(const QStringList &paths);
    bool occupe() const { return !m_requetes.isEmpty(); }
    // A request for that photo is under way.
    bool attend(const QString &path) const { return m_requetes.contains(path); }

    // Photos decoded since the start (not found in the shared cache).
    int decodages() const { return m_decodages.load(); }
    // Replaces the decoder, for tests; the default reads the photo's file
    // through its one opening.
    void setDecodeur(Decodeur decodeur);

signals:
    // A photo's natural size (invalid when unknown) and its picture at its
    // slot's size in device pixels; null when it cannot be read.
    void prete(const QString &path, QSize naturelle, const QImage &image);

private:
    struct Requete {
        quint64 numero = 0;
        std::shared_ptr<std::atomic<bool>> abandon; // seen by the task when it starts
    };
    struct Tache {
        QString path;
        Fente fente;
        std::shared_ptr<std::atomic<bool>> abandon;
        Decodeur decodeur;
    };
    void servit();
    void termine(const QString &path, quint64 numero, QSize naturelle, const QImage &image);

    QThreadPool m_pool;
    // What waits for a worker, by priority then in the order asked: each
    // task of the pool serves the first. The pool's own priorities do not
    // hold (a task handed to a waiting thread goes behind every other), and
    // a strip asks for all its photos at once. Keyed by (-priority, request
    // number).
    std::mutex m_verrou;
    std::map<std::pair<int, quint64>, Tache> m_attente;
    QHash<QString, Requete> m_requetes;
    quint64 m_numero = 0;
    Decodeur m_decodeur;
    std::atomic<int> m_decodages = 0; // the tasks count here: the pool ends before the loader
};

} // namespace kavel
