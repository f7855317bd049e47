#pragma once
#include "acquisition/MeasurementStore.h"
#include "common/Clock.h"
#include "common/TextFile.h"
#include "link/DeviceLink.h"
#include "monitor/Monitor.h"
#include "support/FakeSerialPort.h"
#include "support/FileSizeLimit.h"
#include "support/RecordingPrompts.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The monitor alone over a store that the test fills, its program folder a temporary one, its
// clock set by hand: each Step is one main-timer tick at the clock's time. The link only names the
// port.
class MonitorRig : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    TMeasurementStore store;
    ManualClock clock{EncodeDateTime(2024, 5, 29, 10, 0, 0)};
    RecordingPrompts prompts;
    FakeSerialPort port;
    TDeviceLink link{port, prompts, prompts, dir.path()};
    TMonitor monitor{store, link, clock, prompts, dir.path()};

    void OpenPort(const QString& name) {
        link.CloseLink();
        port.Settings.Port = name;
        ASSERT_TRUE(link.OpenLink());
    }

    // A tick at hh:nn:ss.ms of the rig's day (or another day).
    void StepAt(int h, int m, int s, int ms = 0, int day = 29) {
        clock.Set(EncodeDateTime(2024, 5, day, h, m, s, ms));
        monitor.OnMainTick();
        // The rows are written on a thread of their own: each step waits for them, so a test
        // reads them after the step as it would have after a write in the tick.
        monitor.FlushRecords();
    }
    // One tick in each second from..to (inclusive) of minute h:m.
    void Seconds(int h, int m, int from, int to) {
        for (int s = from; s <= to; ++s)
            StepAt(h, m, s);
    }
    void Collecting(bool on) { store.CurrentSample.Valid = on; }

    QString RecordPath(const QString& name) const { return QDir(monitor.Records.Folder()).filePath(name); }
    QStringList Lines(const QString& name) const {
        QStringList lines;
        if (!ReadLines(RecordPath(name), lines)) return {QStringLiteral("<unreadable>")};
        return lines;
    }
    static QByteArray Bytes(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    }
    static void Put(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }
};
