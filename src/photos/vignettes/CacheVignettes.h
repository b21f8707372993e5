#pragma once

// The desktop's shared thumbnail cache (~/.cache/thumbnails), shared with file managers.

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <optional>

namespace kavel::cachevignettes {

// The desktop's shared thumbnail cache, $XDG_CACHE_HOME/thumbnails (by
// default ~/.cache/thumbnails), which file managers and image viewers fill
// and read alike: one PNG per photo and size class, named after the MD5 of
// the photo's URI, valid while its Thumb::MTime is the photo's modification
// time. Nothing here reports a failure to the user: a thumbnail that cannot
// be read or written is simply decoded again.

// What names and dates a photo in the cache.
struct Source {
    QByteArray uri;   // file:// and the path's bytes, escaped as GLib does
    qint64 mtime = 0; // modification time, whole seconds
    qint64 taille = 0;
};
// Nothing for what is not a regular file.
std::optional<Source> source(const QString &path);
QByteArray uri(const QString &path);
QString dossier();

// The size classes, by their longest side: normal 128, large 256, x-large
// 512, xx-large 1024. The smallest class whose thumbnail of a photo of that
// natural size covers the wanted size; 0 when none does.
int classePour(QSize naturelle, QSize voulue);
// The size of a photo's thumbnail in a class: longest side the class's,
// never larger than the photo.
QSize tailleDansClasse(QSize naturelle, int classe);

// A valid thumbnail of the photo in that class or a larger one, as stored
// (a larger class's is not scaled down); null when there is none, or it is
// stale, damaged or unreadable.
QImage lit(const Source &source, int classe);
// Writes the thumbnail of a class, scaled down first if larger than the
// class (temporary name then rename, mode 0600, folders 0700); false when
// it could not be written, and for a photo inside the cache itself.
bool ecrit(const Source &source, int classe, const QImage &vignette);

} // namespace kavel::cachevignettes
