#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "platform/linux/LinuxSerialPortOpener.h"

namespace qm::linux_platform {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<uint8_t>;
using SteadyClock = std::chrono::steady_clock;

// The master side of a pseudo-terminal; the port under test opens the slave.
class Pty {
public:
    Pty() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0) {
            slavePath_ = ::ptsname(master_);
        }
    }
    ~Pty() { closeMaster(); }

    const std::string& slavePath() const { return slavePath_; }
    void closeMaster() {
        if (master_ >= 0) ::close(master_);
        master_ = -1;
    }
    void send(const Bytes& bytes) {
        ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    }
    // Whatever reaches the master within `patience`, up to `n` bytes.
    Bytes receive(size_t n, std::chrono::milliseconds patience) {
        Bytes out;
        auto end = SteadyClock::now() + patience;
        while (out.size() < n && SteadyClock::now() < end) {
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, 10) <= 0) continue;
            uint8_t buf[256];
            ssize_t r = ::read(master_, buf, std::min(sizeof buf, n - out.size()));
            if (r <= 0) break;
            out.insert(out.end(), buf, buf + r);
        }
        return out;
    }

private:
    int master_ = -1;
    std::string slavePath_;
};

const LineSettings k9600_8N1{.baudRate = 9600,
                             .dataBits = 8,
                             .parity = Parity::None,
                             .stopBits = StopBits::One,
                             .dtrControl = LineControl::Enable,
                             .rtsControl = LineControl::Enable};

// The port as the link configures it; null when that fails.
std::unique_ptr<SerialPort> openConfigured(const Pty& pty) {
    auto port = LinuxSerialPortOpener::forDevicePath(pty.slavePath()).open(u"COM3:");
    if (port && !port->setLineSettings(k9600_8N1)) port.reset();
    return port;
}

class TermiosPortTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(port = openConfigured(pty), nullptr); }

    Pty pty;
    std::unique_ptr<SerialPort> port;
};

TEST(LinuxSerialPortOpenerTest, DeviceRootMapsPortNamesToDevEntries) {
    auto opener = LinuxSerialPortOpener::forDeviceRoot("/root");
    // clang-format off
    struct Case { std::u16string name; std::string path; } cases[] = {
        {u"COM3:", "/root/dev/COM3"}, {u"COM1", "/root/dev/COM1"}, {u"", ""}, {u":", ""},
        {u"..:", ""}, {u"a/b:", ""}, {u"CÖM3:", ""}};
    // clang-format on
    for (const auto& c : cases) EXPECT_EQ(opener.resolve(c.name), c.path);
    EXPECT_EQ(LinuxSerialPortOpener::forDevicePath("/dev/x").resolve(u"COM9:"), "/dev/x");
}

TEST(LinuxSerialPortOpenerTest, OpensTtysThroughEitherResolverAndOnlyOnce) {
    Pty pty;
    test::TempFolder folder("qm-serial-root");
    const auto& root = folder.path();
    std::filesystem::create_directories(root / "dev");
    std::filesystem::create_symlink(pty.slavePath(), root / "dev" / "COM3");

    auto byRoot = LinuxSerialPortOpener::forDeviceRoot(root.string());
    auto byPath = LinuxSerialPortOpener::forDevicePath(pty.slavePath());
    auto first = byRoot.open(u"COM3:");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(byRoot.lastFailure(), "");
    EXPECT_EQ(byPath.open(u"COM3:"), nullptr) << "a held port must not open twice";
    EXPECT_EQ(byPath.lastFailure(), "in use by another program");
    EXPECT_EQ(byRoot.open(u"COM3:"), nullptr);
    first.reset();
    EXPECT_NE(byPath.open(u"COM3:"), nullptr) << "closing must release the port";
    EXPECT_EQ(byPath.lastFailure(), "") << "a success forgets the last failure";
}

TEST(LinuxSerialPortOpenerTest, RefusalsSayWhy) {
    test::TempFolder folder("qm-serial-files");
    const auto& dir = folder.path();
    std::ofstream(dir / "plain") << "not a tty";
    std::ofstream(dir / "locked") << "no access";
    std::filesystem::permissions(dir / "locked", std::filesystem::perms::none);
    const bool root = ::geteuid() == 0;  // opens whatever the mode bits say
    struct Case {
        std::filesystem::path path;
        std::string reason;
    } cases[] = {
        {dir / "missing", "no such device"},
        {dir / "plain", "not a terminal"},
        {dir, "is a directory"},
        {dir / "locked",
         root ? "not a terminal" : "permission denied (the user must be in the dialout group)"}};
    for (const auto& c : cases) {
        auto opener = LinuxSerialPortOpener::forDevicePath(c.path.string());
        EXPECT_EQ(opener.open(u"COM3:"), nullptr) << c.path;
        EXPECT_EQ(opener.lastFailure(), c.reason) << c.path;
    }
    auto byRoot = LinuxSerialPortOpener::forDeviceRoot(dir.string());
    EXPECT_EQ(byRoot.open(u"a/b:"), nullptr);
    EXPECT_EQ(byRoot.lastFailure(), "no such device") << "a name that is no device";
    EXPECT_FALSE(std::filesystem::exists(dir / "missing")) << "open must not create devices";
}

// Raw from the moment it opens, and still raw after the line is configured.
TEST(TermiosRawTest, BytesPassUntranslatedBothWays) {
    const Bytes line = {'\r', '\n', 0x03, 0x11, 0x13, 0x7F, 0x00, 0xFF};
    for (bool configured : {false, true}) {
        SCOPED_TRACE(configured ? "configured" : "freshly opened");
        Pty pty;
        auto port = configured ? openConfigured(pty)
                               : LinuxSerialPortOpener::forDevicePath(pty.slavePath()).open(u"");
        ASSERT_NE(port, nullptr);
        ASSERT_TRUE(port->setTimeouts({0, 0, 1000, 0, 0}));
        pty.send(line);
        Bytes got(line.size());
        ASSERT_EQ(port->read(got.data(), got.size()).count, line.size());
        EXPECT_EQ(got, line);
        EXPECT_TRUE(pty.receive(1, 100ms).empty()) << "no echo";

        IoResult w = port->write(line.data(), line.size());
        EXPECT_TRUE(w.ok);
        EXPECT_EQ(w.count, line.size());
        EXPECT_EQ(pty.receive(line.size(), 2000ms), line);
    }
}

TEST_F(TermiosPortTest, WriteToAStalledPeerStopsAtTheTotalTimeout) {
    ASSERT_TRUE(port->setTimeouts({0, 0, 0, 0, 200}));
    Bytes big(1 << 20, 0x55);
    auto start = SteadyClock::now();
    IoResult w = port->write(big.data(), big.size());
    auto elapsed = SteadyClock::now() - start;
    EXPECT_TRUE(w.ok);
    EXPECT_GT(w.count, 0u);
    EXPECT_LT(w.count, big.size());
    EXPECT_GE(elapsed, 180ms);
    EXPECT_LE(elapsed, 1500ms);
}

TEST_F(TermiosPortTest, VanishedPeerFailsReadsAndWrites) {
    ASSERT_TRUE(port->setTimeouts({0, 0, 500, 0, 500}));
    pty.closeMaster();
    uint8_t byte = 0;
    EXPECT_FALSE(port->read(&byte, 1).ok);
    EXPECT_FALSE(port->write(&byte, 1).ok);
}

// Opened through a link, as the device root's COM3 is: a device no longer at the end of it is
// as gone as one that hung up.
TEST(TermiosDeviceLostTest, AHangUpOrANodeGoneOrReplacedLosesTheDevice) {
    namespace fs = std::filesystem;
    struct Case {
        const char* name;
        void (*change)(Pty& pty, const Pty& other, const fs::path& link);
        bool lost;
    };
    const Case cases[] = {
        {"still there", [](Pty&, const Pty&, const fs::path&) {}, false},
        {"hung up", [](Pty& pty, const Pty&, const fs::path&) { pty.closeMaster(); }, true},
        {"link removed", [](Pty&, const Pty&, const fs::path& link) { fs::remove(link); }, true},
        {"another device behind the link",
         [](Pty&, const Pty& other, const fs::path& link) {
             fs::remove(link);
             fs::create_symlink(other.slavePath(), link);
         },
         true},
    };
    for (const Case& c : cases) {
        test::TempFolder folder("qm-lost");
        Pty pty, other;
        const fs::path link = folder.path() / "engine";
        fs::create_symlink(pty.slavePath(), link);
        auto port = LinuxSerialPortOpener::forDevicePath(link.string()).open(u"COM3:");
        ASSERT_NE(port, nullptr) << c.name;
        EXPECT_FALSE(port->deviceLost()) << c.name;
        c.change(pty, other, link);
        EXPECT_EQ(port->deviceLost(), c.lost) << c.name;
    }
}

TEST_F(TermiosPortTest, InputQueueLengthCountsWaitingBytes) {
    ASSERT_TRUE(port->setTimeouts({0, 0, 1000, 0, 0}));
    pty.send({1, 2, 3, 4, 5, 6, 7});
    // The first read waits for the burst to land; one write arrives as one piece.
    uint8_t buf[3];
    uint32_t waiting = 0;
    for (uint32_t taken : {1u, 3u}) {
        ASSERT_EQ(port->read(buf, taken).count, taken);
        ASSERT_TRUE(port->inputQueueLength(waiting));
        EXPECT_EQ(waiting, taken == 1 ? 6u : 3u);
    }
}

TEST_F(TermiosPortTest, PtyWithoutModemLinesIsAlwaysClearToSend) {
    EXPECT_TRUE(port->setRts(true));
    EXPECT_TRUE(port->setRts(false));
    uint32_t status = 0;
    ASSERT_TRUE(port->getModemStatus(status));
    EXPECT_EQ(status & (kModemCts | kModemDsr), kModemCts | kModemDsr);
}

TEST_F(TermiosPortTest, LineSettingsRoundTrip) {
    // A pseudo-terminal forces 8 bits without parity, so only the rest can vary here.
    LineSettings twoStopsSoftwareFlow = k9600_8N1;
    twoStopsSoftwareFlow.baudRate = 19200;
    twoStopsSoftwareFlow.stopBits = StopBits::Two;
    twoStopsSoftwareFlow.xonXoffOutput = twoStopsSoftwareFlow.xonXoffInput = true;
    LineSettings hardwareFlow = k9600_8N1;
    hardwareFlow.baudRate = 115200;
    hardwareFlow.ctsOutputFlow = true;

    for (const LineSettings& s : {twoStopsSoftwareFlow, hardwareFlow, k9600_8N1}) {
        ASSERT_TRUE(port->setLineSettings(s));
        LineSettings back;
        ASSERT_TRUE(port->getLineSettings(back));
        EXPECT_EQ(back, s) << s.baudRate;
    }
}

TEST_F(TermiosPortTest, RefusesLineSettingsLinuxCannotExpress) {
    auto with = [](auto change) {
        LineSettings s = k9600_8N1;
        change(s);
        return s;
    };
    const LineSettings refused[] = {
        with([](LineSettings& s) { s.baudRate = 12345; }),
        with([](LineSettings& s) { s.baudRate = 0; }),
        with([](LineSettings& s) { s.dataBits = 9; }),
        with([](LineSettings& s) { s.dataBits = 4; }),
        with([](LineSettings& s) { s.stopBits = StopBits::OnePointFive; }),
        with([](LineSettings& s) { s.dsrOutputFlow = true; }),
        with([](LineSettings& s) { s.dtrControl = LineControl::Handshake; }),
    };
    for (const LineSettings& s : refused) EXPECT_FALSE(port->setLineSettings(s));
    LineSettings unchanged;
    ASSERT_TRUE(port->getLineSettings(unchanged));
    EXPECT_EQ(unchanged, k9600_8N1);
}

}  // namespace
}  // namespace qm::linux_platform
