// The serial devices listed from a device folder of the test's own: nothing here is opened.
#include <grp.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "platform/linux/LinuxSerialDevices.h"
#include "tests/TempFolder.h"

namespace qm::linux_platform {
namespace {

namespace fs = std::filesystem;

class SerialDevicesTest : public ::testing::Test {
protected:
    void SetUp() override {
        const group* dialout = getgrnam("dialout");
        if (!dialout) GTEST_SKIP() << "no dialout group on this system";
        dialoutGid = dialout->gr_gid;
        // An FTDI adapter with a by-id name, a CDC device whose USB device has no words, a
        // real UART, a legacy port the kernel keeps room for, a virtual console, and an
        // adapter /dev has but sysfs does not (a container's).
        usbDevice("usb1/1-2", "0403", "6001", "FTDI", "FT232R USB UART");
        usbDevice("usb1/1-3", "2341", "0043", "", "");
        ttyEntry("ttyUSB0", "usb1/1-2/1-2:1.0", "");
        ttyEntry("ttyACM0", "usb1/1-3/1-3:1.0", "");
        ttyEntry("ttyS0", "pnp0/00:04", "4");
        ttyEntry("ttyS1", "platform/serial8250", "0");
        fs::create_directories(sys() / "class/tty/tty1");
        node("ttyUSB0", fs::perms(0660), dialoutGid);
        node("ttyACM0", fs::perms(0666), 0);
        node("ttyS0", fs::perms(0600), 0);
        node("ttyS1", fs::perms(0660), dialoutGid);
        node("tty1", fs::perms(0620), 0);
        node("ttyUSB1", fs::perms(0666), 0);
        fs::create_directories(dev() / "serial/by-id");
        fs::create_symlink("../../ttyUSB0", dev() / "serial/by-id" / kById);
    }

    std::vector<SerialDevice> listFor(Credentials who) {
        return LinuxSerialDevices({dev(), dev() / "serial/by-id", sys() / "class/tty"}, who).list();
    }

    fs::path dev() const { return folder.path() / "dev"; }
    fs::path sys() const { return folder.path() / "sys"; }

    void usbDevice(const std::string& at, const char* vendor, const char* product,
                   const char* maker, const char* model) {
        const fs::path device = sys() / "devices" / at;
        fs::create_directories(device);
        std::ofstream(device / "idVendor") << vendor << "\n";
        std::ofstream(device / "idProduct") << product << "\n";
        if (*maker) std::ofstream(device / "manufacturer") << maker << "\n";
        if (*model) std::ofstream(device / "product") << model << "\n";
    }
    void ttyEntry(const std::string& name, const std::string& device, const char* type) {
        const fs::path entry = sys() / "class/tty" / name;
        fs::create_directories(entry);
        fs::create_directories(sys() / "devices" / device);
        fs::create_symlink(fs::relative(sys() / "devices" / device, entry), entry / "device");
        if (*type) std::ofstream(entry / "type") << type << "\n";
    }
    void node(const std::string& name, fs::perms mode, gid_t group) {
        fs::create_directories(dev());
        std::ofstream(dev() / name);
        // Only root can give a file away; the test that needs it asks for root.
        if (::geteuid() == 0) {
            ASSERT_EQ(::chown((dev() / name).c_str(), 0, group), 0);
        }
        fs::permissions(dev() / name, mode);
    }

    static constexpr char kById[] = "usb-FTDI_FT232R_USB_UART_A601EQ9V-if00-port0";
    test::TempFolder folder{"qm-serial-devices"};
    gid_t dialoutGid = 0;
};

TEST_F(SerialDevicesTest, ListsRealPortsWithTheirNamesAndWhoMayOpenThem) {
    if (::geteuid() != 0) GTEST_SKIP() << "the device nodes are given to root";
    struct Expected {
        std::string path;
        std::string device;
        std::string description;
        bool mayOpen;
        std::string access;
    };
    const std::string byId = (dev() / "serial/by-id" / kById).string();
    const std::string dialout =
        "no permission: the dialout group gives access (sudo adduser $USER dialout, then log "
        "in again)";
    // The named adapter first; ttyS1 (no UART) and the console are no serial ports.
    const Expected ordinaryUser[] = {
        {byId, (dev() / "ttyUSB0").string(), "FTDI FT232R USB UART", false, dialout},
        {(dev() / "ttyACM0").string(), (dev() / "ttyACM0").string(), "USB device 2341:0043", true,
         ""},
        {(dev() / "ttyS0").string(), (dev() / "ttyS0").string(), "on-board serial port", false,
         "no permission: only its owner may use it"},
        {(dev() / "ttyUSB1").string(), (dev() / "ttyUSB1").string(), "USB serial adapter", true,
         ""},
    };
    const std::vector<SerialDevice> listed = listFor({1000, {1000}});
    ASSERT_EQ(listed.size(), std::size(ordinaryUser));
    for (size_t i = 0; i < listed.size(); ++i) {
        SCOPED_TRACE(ordinaryUser[i].device);
        EXPECT_EQ(listed[i].path, ordinaryUser[i].path);
        EXPECT_EQ(listed[i].device, ordinaryUser[i].device);
        EXPECT_EQ(listed[i].description, ordinaryUser[i].description);
        EXPECT_EQ(listed[i].mayOpen, ordinaryUser[i].mayOpen);
        EXPECT_EQ(listed[i].access, ordinaryUser[i].access);
    }

    // A member of dialout may use the adapter; root may use everything.
    EXPECT_TRUE(listFor({1000, {1000, dialoutGid}})[0].mayOpen);
    for (const SerialDevice& device : listFor({0, {0}})) EXPECT_TRUE(device.mayOpen);
}

TEST_F(SerialDevicesTest, AnUnpluggedAdapterLeavesNoEntryBehindItsName) {
    fs::remove(dev() / "ttyUSB0");
    for (const SerialDevice& device : listFor({0, {0}})) {
        EXPECT_EQ(device.path.find("by-id"), std::string::npos) << device.path;
        EXPECT_NE(device.device, (dev() / "ttyUSB0").string());
    }
}

}  // namespace
}  // namespace qm::linux_platform
