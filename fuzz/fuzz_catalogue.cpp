// libFuzzer target: the body catalogue and the student's lens file, read from
// arbitrary bytes. What is read, written back and read again gives the same
// bodies and lenses first, and no line is lost on the way.
//   cmake --build build-fuzz --target fuzz_catalogue
//   cp -r fuzz/corpus/catalogue /tmp/corpus && build-fuzz/bin/fuzz_catalogue -max_total_time=600 /tmp/corpus
#include "equipment/CatalogueBoitiers.h"

#include <QDir>
#include <QFile>
#include <cstddef>
#include <cstdint>
#include <unistd.h>

namespace {

QString ecrit(const QByteArray &octets)
{
    static const QString chemin = QDir::tempPath() + QStringLiteral("/fuzz_catalogue_%1.csv").arg(::getpid());
    QFile f(chemin);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(octets) != octets.size())
        __builtin_trap();
    return chemin;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray octets(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));

    const kavel::LectureBoitiers b = kavel::LireBoitiers(ecrit(octets));
    const kavel::LectureBoitiers b2 = kavel::LireBoitiers(ecrit(kavel::texteBoitiers(b.boitiers, b.rejetees)));
    // Every line comes back. A kept line may read as a body under the
    // standard header when the file had other columns: it then follows
    // the bodies read the first time.
    if (b2.boitiers.size() + b2.rejetees.size() != b.boitiers.size() + b.rejetees.size())
        __builtin_trap();
    if (b2.boitiers.size() < b.boitiers.size())
        __builtin_trap();
    for (std::size_t i = 0; i < b.boitiers.size(); ++i) {
        if (b2.boitiers[i].nom() != b.boitiers[i].nom() || b2.boitiers[i].VitesseMax != b.boitiers[i].VitesseMax)
            __builtin_trap();
    }

    const kavel::LectureObjectifs o = kavel::LireMesObjectifs(ecrit(octets));
    const kavel::LectureObjectifs o2
        = kavel::LireMesObjectifs(ecrit(kavel::texteObjectifs(o.objectifs, o.rejetees)));
    if (o2.objectifs.size() != o.objectifs.size())
        __builtin_trap();
    return 0;
}
