// One chart recalculation, as on every step of a slider drag or a resize,
// at the design surface size and at the largest the window allows.
// Run offscreen: QT_QPA_PLATFORM=offscreen build/bin/bench_recalcul
#include "Lancement.h"
#include "app/Form1.h"
#include "platform/Desktop.h"
#include "platform/SurfaceWidget.h"

#include <QLineEdit>

#include <QApplication>
#include <benchmark/benchmark.h>

namespace {

void recalcul(benchmark::State &state)
{
    kavel::Form1 form(kavel::platform::programFolder());
    form.Graphic->resize(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    for (auto _ : state)
        form.BtnGO_Click();
    state.counters["couples"] = form.NbCouple;
}

// One step of a slider drag: the whole update of a new level (panel,
// situations, chart), alternating between two levels.
void niveau(benchmark::State &state)
{
    kavel::Form1 form(kavel::platform::programFolder());
    form.Graphic->resize(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    int step = 0;
    for (auto _ : state)
        form.TxtValeur->setText((++step % 2) ? QStringLiteral("11,1") : QStringLiteral("11"));
}

} // namespace

BENCHMARK(recalcul)->Args({753, 552})->Args({2276, 2355})->Unit(benchmark::kMillisecond);
BENCHMARK(niveau)->Args({753, 552})->Args({2276, 2355})->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    kavel::bench::prepareFenetres();
    QApplication app(argc, argv);
    return kavel::bench::lance(argc, argv);
}
