// A whole scan of a tree of 10 000 photos, offscreen: search, analysis,
// list and base written, beside the reader alone on the same files.
//   build/bin/bench_scan [--benchmark_repetitions=5]
#include "photos/ExifReader.h"
#include "photos/FormRecherchePhoto.h"
#include "photos/RechercheFichier.h"
#include "platform/Desktop.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>

namespace {

constexpr int kPhotos = 10'000;

QTemporaryDir *g_arbre = nullptr;
QTemporaryDir *g_programme = nullptr;

QStringList fichiers()
{
    kavel::ResultatRecherche r;
    kavel::RechercheRecursive(g_arbre->path() + QLatin1Char('/'), QStringLiteral("*.jpg"), r);
    QStringList chemins;
    for (int i = 0; i < r.count(); ++i)
        chemins << r.dossiers[i] + r.noms[i];
    return chemins;
}

void lecteurSeul(benchmark::State &state)
{
    const QStringList chemins = fichiers();
    kavel::ExifReader reader;
    qint64 n = 0;
    for (auto _ : state) {
        for (const QString &f : chemins) {
            reader.AnalysePhoto(f);
            benchmark::DoNotOptimize(reader.ValLux);
        }
        n += chemins.size();
    }
    state.counters["files/s"] = benchmark::Counter(double(n), benchmark::Counter::kIsRate);
}

void scan(benchmark::State &state)
{
    kavel::FormRecherchePhoto fenetre(g_programme->path());
    fenetre.show();
    fenetre.choisisDossier(g_arbre->path());
    qint64 n = 0;
    for (auto _ : state) {
        fenetre.BtnRecherche_Click();
        n += kPhotos;
    }
    state.counters["files/s"] = benchmark::Counter(double(n), benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK(lecteurSeul)->Unit(benchmark::kMillisecond);
BENCHMARK(scan)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    kavel::platform::setMessageBoxHandler([](QWidget *, const kavel::platform::MessageBox &) {});

    // The shared camera files, else the program's samples.
    QStringList sources;
    for (const QString &dir : {QStringLiteral(KAVEL_SOURCE_DIR "/../shared/exif"), QCoreApplication::applicationDirPath() + QStringLiteral("/samples")}) {
        QDirIterator it(dir, {QStringLiteral("*.jpg")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            sources << it.next();
        if (!sources.isEmpty())
            break;
    }
    if (sources.isEmpty()) {
        std::fprintf(stderr, "no photos to copy\n");
        return 0;
    }
    QTemporaryDir arbre, programme;
    g_arbre = &arbre;
    g_programme = &programme;
    for (int i = 0; i < kPhotos; ++i) {
        const QString dossier = arbre.path() + QStringLiteral("/%1/%2").arg(i / 1000).arg(i / 100 % 10);
        if (i % 100 == 0)
            QDir().mkpath(dossier);
        QFile::copy(sources[i % sources.size()], dossier + QStringLiteral("/p%1.jpg").arg(i));
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
