#include "common/LocalTimeZone.h"
#include <QApplication>
#include <benchmark/benchmark.h>

namespace {
QtMessageHandler previousHandler = nullptr;

// The offscreen platform warns on every window layout change; that would bury the table.
void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.contains(QLatin1String("does not support propagateSizeHints"))) return;
    if (previousHandler) previousHandler(type, context, message);
}
} // namespace

// The window benchmarks need an application object; offscreen unless the caller chose a platform.
int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    previousHandler = qInstallMessageHandler(QuietHandler);
    PinLocalTimeZone(); // as the program's main() does
    QApplication app(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
