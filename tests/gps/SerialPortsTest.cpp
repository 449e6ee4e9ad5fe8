#include "gps/SerialPorts.h"
#include "core/Settings.h"
#include "support/TestEnvironment.h"

using namespace trekora;
using gps::SerialPorts;

namespace {

class SerialPortsTest : public test::TestEnvironment {};

QStringList devices(std::initializer_list<const char*> names) {
    QStringList paths;
    for (const char* name : names)
        paths << QStringLiteral("/dev/") + QString::fromLatin1(name);
    return paths;
}

} // namespace

TEST_F(SerialPortsTest, DevicesAreNumberedAsPeopleCount) {
    struct Case {
        const char* what;
        QStringList given;
        QStringList expected;
    };
    const std::vector<Case> cases = {
        {"on-board ports", devices({"ttyS10", "ttyS2", "ttyS1"}),
         devices({"ttyS1", "ttyS2", "ttyS10"})},
        {"USB adapters", devices({"ttyUSB10", "ttyUSB1", "ttyUSB0"}),
         devices({"ttyUSB0", "ttyUSB1", "ttyUSB10"})},
        {"families", devices({"ttyS0", "rfcomm0", "ttyACM0", "ttyUSB10", "ttyUSB2"}),
         devices({"ttyUSB2", "ttyUSB10", "ttyACM0", "ttyS0", "rfcomm0"})},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SerialPorts::inPortOrder(c.given), c.expected) << c.what;
}

TEST_F(SerialPortsTest, PortNumbersFollowTheOrderUnlessASettingNamesTheDevice) {
    // Eleven on-board ports: Port 3 is the third of them, ttyS2, not ttyS10.
    QStringList onBoard;
    for (int n = 10; n >= 0; --n)
        onBoard << QStringLiteral("/dev/ttyS%1").arg(n);
    const QStringList ordered = SerialPorts::inPortOrder(onBoard);
    EXPECT_EQ(SerialPorts::devicePath(3, ordered), "/dev/ttyS2");
    EXPECT_EQ(SerialPorts::devicePath(10, ordered), "/dev/ttyS9");
    EXPECT_EQ(SerialPorts::devicePath(11, ordered), "") << "only ten ports";
    EXPECT_EQ(SerialPorts::devicePath(0, ordered), "") << "port 0 is USB";

    Settings::set("port", "device3", " /dev/pts/7 ");
    EXPECT_EQ(SerialPorts::devicePath(3, ordered), "/dev/pts/7");
    EXPECT_EQ(SerialPorts::devicePath(4, ordered), "/dev/ttyS3");
    EXPECT_FALSE(SerialPorts::portUsable(3)) << "a missing device cannot be opened";
}
