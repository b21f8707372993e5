// Reading the exposure of a few thousand photos with a warm cache, as a
// scan of a photo folder does: the shared camera files copied many times.
//   build/bin/bench_exif [--benchmark_repetitions=5]
#include "Lancement.h"
#include "photos/exif/ExifReader.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>

namespace {

constexpr int kCopies = 57; // 72 files x 57 = 4 104 photos

QStringList g_fichiers;

void lecture(benchmark::State &state)
{
    kavel::ExifReader reader;
    qint64 octets = 0;
    qint64 fichiers = 0;
    for (auto _ : state) {
        for (const QString &f : std::as_const(g_fichiers)) {
            reader.AnalysePhoto(f);
            octets += reader.octetsLus();
            benchmark::DoNotOptimize(reader.ValLux);
        }
        fichiers += g_fichiers.size();
    }
    state.counters["files/s"] = benchmark::Counter(double(fichiers), benchmark::Counter::kIsRate);
    state.counters["bytes/file"] = fichiers ? double(octets) / double(fichiers) : 0;
}

} // namespace

BENCHMARK(lecture)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString source = QStringLiteral(KAVEL_SOURCE_DIR "/../shared/exif");
    QTemporaryDir copies;
    QDirIterator it(source, {QStringLiteral("*.jpg"), QStringLiteral("*.JPG"), QStringLiteral("*.jpeg")},
                    QDir::Files, QDirIterator::Subdirectories);
    QStringList originaux;
    while (it.hasNext())
        originaux << it.next();
    if (originaux.isEmpty()) {
        std::fprintf(stderr, "no photos in %s: nothing to measure\n", qPrintable(source));
        return 0;
    }
    for (int c = 0; c < kCopies; ++c) {
        const QString dossier = copies.filePath(QString::number(c));
        QDir().mkpath(dossier);
        for (const QString &o : std::as_const(originaux)) {
            const QString copie = dossier + QLatin1Char('/') + QFileInfo(o).fileName();
            QFile::copy(o, copie);
            g_fichiers << copie;
        }
    }
    std::fprintf(stderr, "%lld photos\n", static_cast<long long>(g_fichiers.size()));
    return kavel::bench::lance(argc, argv);
}
