#include "e2e/SimulatorRig.h"
#include <QProcess>
#include <gmock/gmock.h>

// krv-monitor --headless as a process against krv-sim on a pseudo-terminal: the simulator is killed
// while the program records and started again on the same path; the program must carry on by
// itself and end cleanly on SIGTERM.
namespace {

using ::testing::HasSubstr;

struct TSecondRows {
    qsizetype Count = 0;
    QStringList Problems;
};

// How many second rows the day files hold, and whatever is wrong with it (a torn row has too
// few fields, two glued rows too many, a row of an instrument that did not answer holds zeros).
TSecondRows ReadSecondRows(const QString& folder) {
    TSecondRows rows;
    const QDir dir(folder);
    for (const QString& name : dir.entryList({"*.csv"}, QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly)) {
            rows.Problems << name + ": unreadable";
            continue;
        }
        const QByteArray bytes = file.readAll();
        if (!bytes.endsWith("\r\n")) rows.Problems << name + ": does not end with CR LF";
        for (const QByteArray& line : bytes.split('\n')) {
            if (!line.startsWith("20")) continue; // header lines, and what follows the last LF
            const QList<QByteArray> fields = line.chopped(1).split(',');
            if (fields.size() != 9 || !fields.last().isEmpty()) {
                rows.Problems << name + ": " + QString::fromLatin1(line);
                continue;
            }
            if (fields[1] != "3.500") rows.Problems << name + ": wind speed " + fields[1];
            ++rows.Count;
        }
    }
    return rows;
}

TEST(HeadlessAgainstSimulator, RecordsBeforeAndAfterTheInstrumentIsGoneAndEndsCleanlyOnSigterm) {
    SimulatorRig rig;
    const QString& link = rig.portPath;
    const QString records = rig.dir.filePath("data/Record");
    const QStringList simArgs{"--wind-speed", "3.5", "--azimuth", "270"};
    ASSERT_TRUE(rig.StartSimulator(simArgs));

    QProcess monitor;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // A platform that needs a display, and none: a window would abort the program.
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.insert("QT_QPA_PLATFORM", "xcb");
    monitor.setProcessEnvironment(env);
    monitor.setProgram(KRV_MONITOR_PATH);
    monitor.setArguments(
        {"--headless", "--port", link, "--data-dir", rig.dir.filePath("data"), "--second-record", "on"});
    monitor.start();
    ASSERT_TRUE(monitor.waitForStarted(10000));
    QString log;
    const auto logHas = [&](const QString& text) {
        return QTest::qWaitFor(
                   [&] {
                       log += QString::fromLocal8Bit(monitor.readAllStandardError());
                       return log.contains(text) || monitor.state() == QProcess::NotRunning;
                   },
                   15000) &&
               log.contains(text);
    };
    const auto rowsReach = [&](qsizetype n) {
        return QTest::qWaitFor([&] { return ReadSecondRows(records).Count >= n; }, 15000);
    };

    ASSERT_TRUE(logHas("port " + link + " opened")) << log.toStdString();
    ASSERT_TRUE(rowsReach(3)) << log.toStdString();
    rig.sim.Stop(true); // SIGKILL: the link is left behind, pointing at a terminal that is gone
    ASSERT_TRUE(logHas("port " + link + " lost")) << log.toStdString();
    const qsizetype before = ReadSecondRows(records).Count;
    ASSERT_TRUE(rig.StartSimulator(simArgs));
    ASSERT_TRUE(logHas("port " + link + " back after")) << log.toStdString();
    ASSERT_TRUE(rowsReach(before + 3)) << log.toStdString();

    monitor.terminate();
    ASSERT_TRUE(monitor.waitForFinished(10000));
    log += QString::fromLocal8Bit(monitor.readAllStandardError());
    EXPECT_EQ(monitor.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(monitor.exitCode(), 0);
    EXPECT_THAT(log.toStdString(), HasSubstr("stopped (SIGTERM)"));
    EXPECT_EQ(log.count(" lost"), 1) << log.toStdString();
    EXPECT_EQ(log.count(" back after"), 1) << log.toStdString();

    // Which seconds have rows around a loss is the recorder's own test; here, that none is torn.
    const TSecondRows rows = ReadSecondRows(records);
    EXPECT_TRUE(rows.Problems.isEmpty()) << rows.Problems.join('\n').toStdString();
}

} // namespace
