// The scan of a tree of 100 000 photo files (JPEG and camera raw), offscreen,
// its files warm in the system's cache: the reader alone on every file, on
// one thread; a first scan through the window (search, reading, list, base
// and cache written); a rescan of the same unchanged tree. For the two
// scans, "attente_ms" is the longest the window's event loop went without
// running (the longest gap between two ticks of a 1 ms timer); for the first
// scan, "regards/fichier" counts the times the reader itself asked the
// system what a file was, beyond the search's one look.
//   build/bin/bench_scan [--benchmark_repetitions=5]
// The tree's files are hard links to the shared sample files (copies where
// links cannot be made): the same bytes under 100 000 names, without
// gigabytes of copies.
#include "Lancement.h"
#include "photos/exif/ExifReader.h"
#include "photos/scan/FormRecherchePhoto.h"
#include "photos/scan/CacheScan.h"
#include "platform/Desktop.h"
#include "platform/FichierLecture.h"
#include "platform/NomFichier.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace {

constexpr int kPhotos = 100'000;

QTemporaryDir *g_arbre = nullptr;
QTemporaryDir *g_programme = nullptr;
QStringList g_chemins;

// One scan through the window, to its end; the longest wait of the event
// loop meanwhile, in ms.
double scanne(kavel::FormRecherchePhoto &fenetre)
{
    QEventLoop boucle;
    QObject::connect(&fenetre, &kavel::FormRecherchePhoto::scanTermine, &boucle, &QEventLoop::quit);
    QTimer tic;
    tic.setTimerType(Qt::PreciseTimer);
    tic.setInterval(1);
    QElapsedTimer montre;
    qint64 dernier = 0, pire = 0;
    QObject::connect(&tic, &QTimer::timeout, [&] {
        const qint64 maintenant = montre.nsecsElapsed();
        pire = std::max(pire, maintenant - dernier);
        dernier = maintenant;
    });
    montre.start();
    tic.start();
    fenetre.BtnRecherche_Click();
    boucle.exec();
    pire = std::max(pire, montre.nsecsElapsed() - dernier);
    return double(pire) / 1e6;
}

void lecteurSeul(benchmark::State &state)
{
    kavel::ExifReader reader;
    qint64 n = 0;
    for (auto _ : state) {
        for (const QString &f : g_chemins) {
            reader.AnalysePhoto(f);
            benchmark::DoNotOptimize(reader.ValLux);
        }
        n += g_chemins.size();
    }
    state.counters["fichiers/s"] = benchmark::Counter(double(n), benchmark::Counter::kIsRate);
}

void scan(benchmark::State &state, bool premier)
{
    kavel::FormRecherchePhoto fenetre(g_programme->path());
    fenetre.show();
    fenetre.choisisDossier(g_arbre->path());
    if (state.range(0) > 0)
        fenetre.scan()->setLecteurs(int(state.range(0)));
    const QString cache = kavel::cheminCache(fenetre.cheminBase());
    if (!premier)
        scanne(fenetre); // the cache of the readings
    double attente = 0;
    qint64 n = 0;
    const quint64 regards = kavel::FichierLecture::regards();
    for (auto _ : state) {
        if (premier) {
            state.PauseTiming();
            QFile::remove(cache);
            state.ResumeTiming();
        }
        attente = std::max(attente, scanne(fenetre));
        n += kPhotos;
    }
    state.counters["fichiers/s"] = benchmark::Counter(double(n), benchmark::Counter::kIsRate);
    state.counters["attente_ms"] = attente;
    const double lecteur = double(kavel::FichierLecture::regards() - regards);
    if (premier)
        state.counters["regards/fichier"] = lecteur / double(n);
}

void premierScan(benchmark::State &state)
{
    scan(state, true);
}

void rescan(benchmark::State &state)
{
    scan(state, false);
}

} // namespace

BENCHMARK(lecteurSeul)->Unit(benchmark::kMillisecond)->UseRealTime();
// Argument: reading threads (0: the scan's own choice).
BENCHMARK(premierScan)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(rescan)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char **argv)
{
    kavel::bench::prepareFenetres();
    QApplication app(argc, argv);

    // The shared camera files, JPEG and raw, else the program's samples.
    QStringList sources;
    for (const QString &dir : {QStringLiteral(KAVEL_SOURCE_DIR "/../shared/exif"), QStringLiteral(KAVEL_SOURCE_DIR "/../shared/exif-raw")}) {
        QDirIterator it(dir, {QStringLiteral("*.jpg"), QStringLiteral("*.cr2"), QStringLiteral("*.cr3"), QStringLiteral("*.dng"),
                              QStringLiteral("*.nef"), QStringLiteral("*.raf"), QStringLiteral("*.rw2"), QStringLiteral("*.iiq"), QStringLiteral("*.heic")},
                        QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            sources << it.next();
    }
    if (sources.isEmpty()) {
        QDirIterator it(QCoreApplication::applicationDirPath() + QStringLiteral("/samples"), {QStringLiteral("*.jpg")}, QDir::Files);
        while (it.hasNext())
            sources << it.next();
    }
    if (sources.isEmpty()) {
        std::fprintf(stderr, "no photos to copy\n");
        return 0;
    }
    std::sort(sources.begin(), sources.end());
    QTemporaryDir arbre, programme;
    g_arbre = &arbre;
    g_programme = &programme;
    for (int i = 0; i < kPhotos; ++i) {
        const QString dossier = arbre.path() + QStringLiteral("/%1/%2").arg(i / 10000).arg(i / 100 % 100);
        if (i % 100 == 0)
            QDir().mkpath(dossier);
        const QString source = sources[i % sources.size()];
        const QString copie = dossier + QStringLiteral("/p%1.").arg(i) + QFileInfo(source).suffix();
        if (::link(kavel::platform::octetsDeNom(source).constData(), kavel::platform::octetsDeNom(copie).constData()) != 0)
            QFile::copy(source, copie);
        g_chemins << copie;
    }
    std::fprintf(stderr, "%d files from %d sources\n", kPhotos, int(sources.size()));
    return kavel::bench::lance(argc, argv);
}
