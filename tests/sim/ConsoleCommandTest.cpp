#include "model/ConsoleCommand.h"
#include <gmock/gmock.h>

using krvsim::Fault;

namespace {

class ConsoleTest : public ::testing::Test {
  protected:
    krvsim::InstrumentModel model;
    krvsim::FaultInjector faults;

    krvsim::ConsoleReply Run(const QString& line) { return krvsim::RunConsoleCommand(line, model, faults); }
};

TEST_F(ConsoleTest, CommandsChangeWhatTheInstrumentAnswers) {
    EXPECT_EQ(Run("  set   E12\t0.5 ").Text, "OK E12=0.5");
    Run("wind 4 270 -5");
    EXPECT_EQ(Run("wind 6").Text, "OK M01=6.000 M05=270.000 M06=-5.000");
    EXPECT_EQ(model.HandleFrame("RD,E12,M01,"), "AD,E12=0.5,M01=6.000,");
    EXPECT_TRUE(Run("fault drop 0.2").Ok);
    EXPECT_DOUBLE_EQ(faults.Rate(Fault::Drop), 0.2);
    EXPECT_TRUE(Run("fault none").Ok);
    EXPECT_FALSE(faults.Active());
    EXPECT_TRUE(Run("quit").Quit);
    EXPECT_EQ(Run("   ").Text, "");
}

TEST_F(ConsoleTest, BadInputIsRefusedAndChangesNothing) {
    for (const char* line :
         {"wind", "wind fast", "wind 1 2 3 4", "set M01", "set M01 abc", "get NOPE", "temp", "vary maybe",
          "fault drop 2", "fault gremlins 0.5", "fault seed -1", "dance"}) {
        const krvsim::ConsoleReply reply = Run(line);
        EXPECT_TRUE(!reply.Ok && !reply.Quit && reply.Text.startsWith("ERROR ")) << line;
    }
    EXPECT_EQ(model.HandleFrame("RD,M01,M11,"), "AD,M01=2.500,M11=20.000,");
    EXPECT_FALSE(faults.Active());
    EXPECT_FALSE(model.Varying());
}

} // namespace
