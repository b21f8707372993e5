#pragma once

// What every benchmark program does around its measures.
#include "platform/Desktop.h"

#include <QByteArray>
#include <QtGlobal>
#include <benchmark/benchmark.h>

namespace kavel::bench {

// Before the application is made: an offscreen screen unless one is asked
// for, and message boxes that are not shown (no one is there to close them).
inline void prepareFenetres()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    platform::setMessageBoxHandler([](QWidget *, const platform::MessageBox &) {});
}

// Runs the measures the command line asks for (all by default).
inline int lance(int &argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace kavel::bench
