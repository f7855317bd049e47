#ifdef KRV_TEST_WINDOWS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif
#include <gmock/gmock.h>

// Timers, QSerialPort and child processes need an application object and its event loop; only the
// tests that drive windows get the widget one, so that headless code needing it cannot pass.
int main(int argc, char** argv) {
    ::testing::InitGoogleMock(&argc, argv);
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    TestApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
