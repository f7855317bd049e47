#pragma once
#include "acquisition/Exchange.h"
#include "acquisition/MeasurementStore.h"
#include "acquisition/PollingCycle.h"
#include "link/DeviceLink.h"
#include "link/FrameCodec.h"
#include "settings/Settings.h"
#include "support/RecordingPrompts.h"
#include "support/SimulatedInstrumentPort.h"
#include <QTemporaryDir>
#include <gmock/gmock.h>

// The settings subsystem over the simulator's instrument model, ticked by hand in the core's order:
// the polling step while polling is allowed, then the write step; answers arrive between ticks.
class SettingsRig : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    SimulatedInstrumentPort port;
    RecordingPrompts prompts;
    TDeviceLink link{port, prompts, prompts, dir.path()};
    TExchange exchange{link};
    TMeasurementStore store;
    TPollingCycle polling{exchange, store};
    TSettings settings{exchange, polling, link, dir.path()};

    void SetUp() override { ASSERT_TRUE(link.OpenLink()); }

    void Tick(int n = 1) {
        for (int i = 0; i < n; ++i) {
            if (port.Connected() && exchange.PollingAllowed()) polling.PollStep();
            settings.WriteTick();
            port.DeliverAnswers();
        }
    }
    // The payloads of the frames written since the last call.
    QStringList Sent() {
        QStringList payloads;
        for (const QByteArray& line : port.TakeWritten().split('\n'))
            if (line.startsWith('<')) payloads << QString::fromLatin1(line.mid(1, line.lastIndexOf('>') - 1));
        return payloads;
    }
};
