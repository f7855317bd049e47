#include "link/PortList.h"
#include "link/ComSettings.h"
#include <gmock/gmock.h>

namespace {

using ::testing::ElementsAre;

TEST(PortList, StableNamesFirstDescribedByTheirPortThenTheSystemsPortsEachOnce) {
    const QList<TPortInfo> system = {{"ttyUSB0", "USB serial adapter"}, {"ttyS0", ""}, {"ttyACM0", "Modem"}};
    const QList<TPortLink> byId = {{"/dev/serial/by-id/usb-B-if00", "/dev/ttyACM0"},
                                   {"/dev/serial/by-id/usb-A-if00", "/dev/ttyUSB0"},
                                   {"/dev/serial/by-id/usb-A-if00", "/dev/ttyUSB0"}};
    EXPECT_THAT(MergePortList(system, byId),
                ElementsAre(TPortInfo{"/dev/serial/by-id/usb-A-if00", "→ /dev/ttyUSB0, USB serial adapter"},
                            TPortInfo{"/dev/serial/by-id/usb-B-if00", "→ /dev/ttyACM0, Modem"},
                            TPortInfo{"ttyACM0", "Modem"}, TPortInfo{"ttyS0", ""},
                            TPortInfo{"ttyUSB0", "USB serial adapter"}));
}

TEST(PortList, FirstSetupProposesTheFirstListedPortUnlessTheCurrentIsThere) {
    const QList<TPortInfo> ports = {{"/dev/serial/by-id/usb-A-if00", ""}, {"ttyS0", ""}};
    EXPECT_EQ(ProposedPort(ports, "COM7", false), "/dev/serial/by-id/usb-A-if00");
    EXPECT_EQ(ProposedPort(ports, "ttyS0", false), "ttyS0");
    EXPECT_EQ(ProposedPort(ports, "COM7", true), "COM7") << "a stored choice stands";
    EXPECT_EQ(ProposedPort({}, "COM7", false), "COM7") << "nothing better to offer";
}

struct FailureCase {
    TPortProblem Problem;
    const char* Reason;
    const char* Text;
};

class PortOpenFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(PortOpenFailure, NamesThePortTheReasonAndWhatToDo) {
    const FailureCase c = GetParam();
    const EComPort error("Unable to open com port", 1, c.Reason, c.Problem);
    EXPECT_EQ(PortOpenFailureText("/dev/ttyS0", error), QString::fromUtf8(c.Text));
}

INSTANTIATE_TEST_SUITE_P(
    Problems, PortOpenFailure,
    ::testing::Values(
        FailureCase{TPortProblem::Denied, "Permission denied",
                    "/dev/ttyS0: Permission denied — add your user to the dialout group"},
        FailureCase{TPortProblem::Busy, "Permission error while locking the device",
                    "/dev/ttyS0: Permission error while locking the device — another program holds the port"},
        FailureCase{
            TPortProblem::Missing, "No such file or directory",
            "/dev/ttyS0: No such file or directory — choose the instrument's port in the port settings"},
        FailureCase{TPortProblem::NotSerial, "Inappropriate ioctl for device",
                    "/dev/ttyS0: Inappropriate ioctl for device — not a serial port"},
        FailureCase{TPortProblem::Other, "Input/output error", "/dev/ttyS0: Input/output error"},
        FailureCase{TPortProblem::Other, "", "/dev/ttyS0: Unable to open com port (Error: 1)"}));

} // namespace
