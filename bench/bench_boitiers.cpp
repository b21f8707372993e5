// The body list of today's cameras: reading the catalogue, filling the list
// at start-up, narrowing it at each key typed, and the lens list of a body.
// Run offscreen: QT_QPA_PLATFORM=offscreen build/bin/bench_boitiers
#include "Lancement.h"
#include "app/Form1.h"
#include "app/RechercheBoitier.h"
#include "equipment/CatalogueBoitiers.h"
#include "equipment/ListeBoitiers.h"
#include "platform/Desktop.h"
#include "platform/DropDownComboBox.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QCompleter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

QString dossier()
{
    return kavel::platform::programFolder();
}

void lectureCatalogue(benchmark::State &state)
{
    const QString chemin = dossier() + QStringLiteral("/Boitiers.csv");
    std::size_t n = 0;
    for (auto _ : state)
        n = kavel::LireBoitiers(chemin).boitiers.size();
    state.counters["boitiers"] = static_cast<double>(n);
}

// The window's start-up, with the catalogue (range 1) and without it, as
// before it existed (range 0): the difference is what the catalogue costs.
void demarrage(benchmark::State &state)
{
    QTemporaryDir sans;
    for (const QString &c : QDir(dossier()).entryList({QStringLiteral("Objectifs*.txt")}))
        QFile::copy(dossier() + QLatin1Char('/') + c, sans.filePath(c));
    const QString programme = state.range(0) ? dossier() : sans.path();
    for (auto _ : state) {
        kavel::Form1 form(programme);
        benchmark::DoNotOptimize(form.CmbBxAppareil->count());
    }
}

// One key typed in the body box: the search narrows the whole list and
// the open list shows what it found ("a7", then back to "a", and again),
// with the texts seen before remembered (range 0) or not (range 1).
void frappe(benchmark::State &state)
{
    kavel::Form1 form(dossier());
    form.show();
    QLineEdit *edit = form.CmbBxAppareil->lineEdit();
    edit->setFocus();
    edit->setText(QStringLiteral("a"));
    const auto tape = [edit](int touche, const QString &texte) {
        QKeyEvent press(QEvent::KeyPress, touche, Qt::NoModifier, texte);
        QApplication::sendEvent(edit, &press);
        QKeyEvent release(QEvent::KeyRelease, touche, Qt::NoModifier, texte);
        QApplication::sendEvent(edit, &release);
    };
    auto *recherche = static_cast<kavel::RechercheBoitier *>(edit->completer());
    int i = 0;
    for (auto _ : state) {
        if (state.range(0)) {
            // A search that has seen no text yet: the whole list is gone through.
            state.PauseTiming();
            recherche->setListe(form.ListeBoitiers);
            state.ResumeTiming();
        }
        if (i++ % 2)
            tape(Qt::Key_Backspace, QString());
        else
            tape(Qt::Key_7, QStringLiteral("7"));
    }
    state.counters["trouves"] = edit->completer()->completionCount();
}

// The lens list of a body: the student's, the catalogue file's and the lens
// database's lenses for its mount, into the list.
void listeObjectifs(benchmark::State &state)
{
    kavel::Form1 form(dossier());
    while (!form.lensfunCharge())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const char *boitier = state.range(0) ? "Nikon Z6" : "Sony A7 IV";
    const int ligne = form.CmbBxAppareil->findText(QString::fromUtf8(boitier));
    form.CmbBxAppareil->setCurrentIndex(ligne);
    for (auto _ : state)
        form.LoadObjectifs();
    state.counters["objectifs"] = form.NbObjectifs;
}

} // namespace

BENCHMARK(lectureCatalogue)->Unit(benchmark::kMillisecond);
BENCHMARK(demarrage)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(frappe)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(listeObjectifs)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    kavel::bench::prepareFenetres();
    QApplication app(argc, argv);
    return kavel::bench::lance(argc, argv);
}
