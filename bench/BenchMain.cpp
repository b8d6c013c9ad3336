// The benchmarks run inside a QApplication on the offscreen platform, so
// that the windows can be measured beside the core.
#include "widgets/Fonts.h"
#include "platform/MemoryArenas.h"
#include "platform/TimeZone.h"

#include <QApplication>

#include <benchmark/benchmark.h>

int main(int argc, char **argv)
{
    // Measured as the window program runs.
    vantorix::useOneMemoryArena();
    vantorix::settleTimeZone();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    vantorix::installFontFallbacks();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
