// The numbering of ports 1 to 9: variables first, then the devices found,
// over a made-up device tree.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include <unistd.h>

#include "PortNaming.h"

namespace fs = std::filesystem;
using pontel::detectedSerialDevices;
using pontel::portPath;
using Paths = std::vector<std::string>;

namespace {

class DeviceTree : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_root = fs::canonical(fs::temp_directory_path()).string() + "/pontel-tree-"
                 + std::to_string(getpid());
        fs::create_directories(dev("serial/by-path"));
    }
    void TearDown() override { fs::remove_all(m_root); }

    std::string dev(const std::string &name) const { return m_root + "/dev/" + name; }
    std::string sys() const { return m_root + "/sys"; }

    void device(const std::string &name) const { std::ofstream(dev(name)).put('\n'); }
    void uartType(const std::string &name, int type) const
    {
        fs::create_directories(sys() + "/class/tty/" + name);
        std::ofstream(sys() + "/class/tty/" + name + "/type") << type << '\n';
    }
    void byPath(const std::string &link, const std::string &target) const
    {
        fs::create_symlink("../../" + target, dev("serial/by-path/" + link));
    }

    std::string m_root;
};

} // namespace

TEST_F(DeviceTree, DevicesAreFoundInTheDocumentedOrder)
{
    for (const char *name : {"ttyUSB10", "ttyUSB2", "ttyACM0", "ttyACM1", "ttyS0", "ttyS1",
                             "ttyS2", "ttyS10", "ttyAMA0", "ttyUSB", "ttyUSBx", "tty5", "console"})
        device(name);
    uartType("ttyS0", 4);  // a 16550A
    uartType("ttyS1", 0);  // a slot with no UART behind it
    uartType("ttyS10", 1); // ttyS2 has no type at all: not a port
    byPath("pci-0000:00:14.0-usb-0:2:1.0-port0", "ttyUSB10");
    byPath("pci-0000:00:14.0-usb-0:1:1.0", "ttyACM1");

    const Paths expected = {dev("ttyACM1"), dev("ttyUSB10"), dev("ttyUSB2"), dev("ttyACM0"),
                            dev("ttyS0"),   dev("ttyS10"),   dev("ttyAMA0")};
    EXPECT_EQ(detectedSerialDevices(m_root + "/dev", sys()), expected);
}

TEST_F(DeviceTree, NoDevicesNoPorts)
{
    EXPECT_TRUE(detectedSerialDevices(m_root + "/dev", sys()).empty());
    EXPECT_TRUE(detectedSerialDevices(m_root + "/nothing", sys()).empty());
}

TEST_F(DeviceTree, VariablesComeFirstAndTheirDevicesAreNotNumberedAgain)
{
    device("ttyUSB0");
    device("ttyUSB1");
    device("ttyS0");
    fs::create_symlink(dev("ttyUSB1"), dev("adapter"));
    const Paths found = {dev("ttyUSB0"), dev("ttyUSB1"), dev("ttyS0")};

    struct Case
    {
        const char *what;
        std::map<uint8_t, std::string> variables;
        std::map<uint8_t, std::string> expected; // ports not listed: nothing
    };
    const Case cases[] = {
        {"no variable", {}, {{1, found[0]}, {2, found[1]}, {3, found[2]}}},
        {"variable naming a found device through a link",
         {{1, dev("adapter")}},
         {{1, dev("adapter")}, {2, found[0]}, {3, found[2]}}},
        {"variable on a higher port",
         {{3, "/dev/pts/7"}},
         {{1, found[0]}, {2, found[1]}, {3, "/dev/pts/7"}, {4, found[2]}}},
        {"every port mapped",
         {{1, "/a"}, {2, "/b"}, {3, "/c"}, {4, "/d"}, {5, "/e"}, {6, "/f"}, {7, "/g"}, {8, "/h"}, {9, "/i"}},
         {{1, "/a"}, {2, "/b"}, {3, "/c"}, {4, "/d"}, {5, "/e"}, {6, "/f"}, {7, "/g"}, {8, "/h"}, {9, "/i"}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        int detections = 0;
        const auto variable = [&](uint8_t n) {
            const auto it = c.variables.find(n);
            return it == c.variables.end() ? std::string() : it->second;
        };
        const auto detected = [&] {
            ++detections;
            return found;
        };
        for (uint8_t n = 0; n <= 10; ++n) {
            SCOPED_TRACE(int(n));
            const auto it = c.expected.find(n);
            EXPECT_EQ(portPath(n, variable, detected), it == c.expected.end() ? "" : it->second);
        }
        // A mapped port never looks at the machine's devices.
        const int unmapped = 9 - int(c.variables.size());
        EXPECT_EQ(detections, unmapped);
    }
}
