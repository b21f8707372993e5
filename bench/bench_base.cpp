// A photo base of 200 000 records: reading it (written with a point and with
// a comma), its histogram's bins and drawing, the thumbnail strip's matching
// at one slider step, and the main window's whole load.
//   build/bin/bench_base [--benchmark_repetitions=5]
#include "Lancement.h"
#include "app/Form1.h"
#include "chart/Repartition.h"
#include "photos/BasePhotos.h"
#include "photos/vignettes/PhotoOuverte.h"
#include "platform/Desktop.h"
#include "platform/DrawingSurface.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>

namespace {

constexpr int kPhotos = 200'000;
const QSize kGraphique(753, 552); // the window's chart

QString g_basePoint, g_baseVirgule; // the same photos, written under C and French
QString g_programme;                // a program folder holding the French base
std::vector<kavel::TypePhoto> g_photos;

// Photos as cameras take them: standard times, f-numbers and sensitivities,
// some odd ones (1/16000 s, F/7,1, ISO 640), the level computed from them.
std::vector<kavel::TypePhoto> photos()
{
    static const double temps[] = {1.0 / 16000, 1.0 / 8000, 1.0 / 4000, 1.0 / 2000, 1.0 / 1000, 1.0 / 500, 1.0 / 250,
                                   1.0 / 125,   1.0 / 60,   1.0 / 30,   1.0 / 15,   0.125,      0.5,        1.3,
                                   2,           15,         30};
    static const double diafs[] = {1.4, 1.8, 2, 2.8, 3.5, 4, 4.5, 5.6, 6.3, 7.1, 8, 11, 16, 22};
    static const double isos[] = {50, 100, 125, 200, 400, 640, 800, 1600, 3200, 6400, 12800};
    QRandomGenerator r(20240501);
    std::vector<kavel::TypePhoto> p;
    p.reserve(kPhotos);
    for (int i = 0; i < kPhotos; ++i) {
        const double t = temps[r.bounded(int(std::size(temps)))], n = diafs[r.bounded(int(std::size(diafs)))];
        const double s = isos[r.bounded(int(std::size(isos)))];
        const QString dossier = QStringLiteral("/home/eleve/Photos/%1/%2/").arg(2004 + i % 21).arg(1 + i / 7 % 12, 2, 10, QLatin1Char('0'));
        const QString nom = i % 50 == 0 ? QStringLiteral("Vacances, été %1.jpg").arg(i) : QStringLiteral("IMG_%1.JPG").arg(i % 100000, 5, 10, QLatin1Char('0'));
        p.push_back({dossier + nom, std::log2(n * n * (1 / t) * 100 / s), t, n, s});
    }
    return p;
}

void lecture(benchmark::State &state)
{
    const QString &base = state.range(0) ? g_baseVirgule : g_basePoint;
    for (auto _ : state) {
        const kavel::LectureBase lue = kavel::LireBasePhotos(base);
        if (lue.photos.size() != kPhotos)
            state.SkipWithError("base not read whole");
        benchmark::DoNotOptimize(lue.photos.data());
    }
    state.SetItemsProcessed(state.iterations() * kPhotos);
}

std::vector<double> niveaux()
{
    std::vector<double> n;
    n.reserve(g_photos.size());
    for (const kavel::TypePhoto &p : g_photos)
        n.push_back(p.ValEV);
    return n;
}

void classes(benchmark::State &state)
{
    const std::vector<double> n = niveaux();
    for (auto _ : state)
        benchmark::DoNotOptimize(kavel::ClassesRepartition(n).data());
}

void trace(benchmark::State &state)
{
    const std::vector<double> n = niveaux();
    kavel::DrawingSurface surface(kGraphique);
    for (auto _ : state) {
        surface.clear();
        kavel::TraceRepartition(surface, n);
    }
}

// One slider step: the levels run by 0,1 as the slider gives them.
void auNiveau(benchmark::State &state)
{
    int valeur = -60;
    for (auto _ : state) {
        benchmark::DoNotOptimize(kavel::photosAuNiveau(g_photos, valeur / 10.0).data());
        valeur = valeur == 180 ? -60 : valeur + 1;
    }
}

void chargement(benchmark::State &state)
{
    kavel::Form1 form(g_programme);
    for (auto _ : state)
        form.LoadBasePhotos();
    if (form.NbPhotos != kPhotos)
        state.SkipWithError("base not loaded whole");
}

} // namespace

BENCHMARK(lecture)->Arg(0)->Arg(1)->ArgName("virgule")->Unit(benchmark::kMillisecond);
BENCHMARK(classes)->Unit(benchmark::kMillisecond);
BENCHMARK(trace)->Unit(benchmark::kMillisecond);
BENCHMARK(auNiveau)->Unit(benchmark::kMicrosecond);
BENCHMARK(chargement)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    kavel::bench::prepareFenetres();
    QApplication app(argc, argv);

    QTemporaryDir dossier;
    g_photos = photos();
    g_basePoint = dossier.filePath(QStringLiteral("point.txt"));
    g_programme = dossier.filePath(QStringLiteral("programme"));
    g_baseVirgule = g_programme + QLatin1Char('/') + QLatin1String(kavel::kNomBasePhotos);
    QString erreur;
    if (!QDir().mkpath(g_programme) || !kavel::EcritBasePhotos(g_basePoint, g_photos, &erreur, QLocale::c())
        || !kavel::EcritBasePhotos(g_baseVirgule, g_photos, &erreur, QLocale(QLocale::French))) {
        std::fprintf(stderr, "cannot write the bases: %s\n", qPrintable(erreur));
        return 1;
    }
    return kavel::bench::lance(argc, argv);
}
