// quillmark on a Wayland desktop where nothing can type for it: a headless mutter, which
// offers no virtual keyboard, with no portal and no /dev/uinput. The main dialog says so, in
// lines that assistive technology reads, and counts the bar codes read that went nowhere.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "platform/linux/DeviceRootFileSystem.h"
#include "tests/RequiredTools.h"
#include "tests/e2e/AccessibleTree.h"
#include "tests/e2e/SanitizerOptions.h"
#include "tests/e2e/XtermUnderXvfb.h"

namespace qm::e2e {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string kWedge = QM_WEDGE;

bool eventually(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(50ms);
    }
    return true;
}

bool anyHas(const QStringList& names, const QString& part) {
    for (const QString& name : names)
        if (name.contains(part)) return true;
    return false;
}

class NoTypingPath : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "e2e_no_typing_path";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QCoreApplication>(argc, argv);
    }
    static void TearDownTestSuite() { app_.reset(); }

    void SetUp() override {
        for (const char* program : {"mutter", "dbus-daemon"})
            QM_SKIP_UNLESS_TOOLS(programAvailable(program), program);
        QM_SKIP_UNLESS_TOOLS(fs::exists("/usr/libexec/at-spi-bus-launcher"),
                             "at-spi2-core for the accessibility bus");
        QM_SKIP_UNLESS_TOOLS(
            fs::exists("/usr/lib/x86_64-linux-gnu/qt6/plugins/platforms/libqwayland-generic.so"),
            "qt6-wayland to draw without an X display");
        if (fs::exists("/dev/uinput")) GTEST_SKIP() << "/dev/uinput would type here";
        ASSERT_EQ(run("install -d -m 700 " + quoted(runtime())), 0);
        startBus();
        startMutter();
        startEngine();
        ASSERT_TRUE(prepareDeviceRoot(scratch_.path() / "root", QM_SOURCE_DIR "/resources"));
    }
    void TearDown() override {
        for (long pid : {wedge_, engine_, mutter_, bus_}) stopProgram(pid);
    }

    fs::path runtime() const { return scratch_.path() / "runtime"; }

    void startBus() {
        const fs::path address = scratch_.path() / "bus";
        bus_ = startInBackground("sh -c 'exec dbus-daemon --session --nofork --print-address > " +
                                 address.string() + "'");
        ASSERT_TRUE(waitForFileSize(address, 10, 5s));
        busAddress_ = readFile(address).substr(0, readFile(address).find('\n'));
    }

    // Everything the session's programs share: its runtime folder and its bus.
    std::string session(const std::string& commandLine) const {
        return "env -i " + sanitizerOptions() +
               "PATH=/usr/local/bin:/usr/bin:/bin HOME=" + quoted(scratch_.path()) +
               " XDG_RUNTIME_DIR=" + quoted(runtime()) + " DBUS_SESSION_BUS_ADDRESS='" +
               busAddress_ + "' " + commandLine;
    }

    void startMutter() {
        mutter_ = startInBackground(
            session("mutter --wayland --headless --virtual-monitor 1280x800 --no-x11"));
        ASSERT_TRUE(eventually([&] { return fs::exists(runtime() / "wayland-0"); }, 20s));
    }

    void startEngine() {
        const fs::path out = scratch_.path() / "engine.out";
        engine_ = startInBackground("sh -c 'exec " + std::string(QM_ENGINE_SIM) +
                                    " --barcode code128:E2E-0001 > " + quoted(out) + "'");
        ASSERT_TRUE(eventually([&] { return readFile(out).find('\n') != std::string::npos; }, 5s));
        port_ = readFile(out).substr(0, readFile(out).find('\n'));
    }

    void startWedge() {
        wedge_ = startInBackground(session(
            "WAYLAND_DISPLAY=wayland-0 XDG_SESSION_TYPE=wayland QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "
            "sh -c 'exec " +
            kWedge + " --root " + (scratch_.path() / "root").string() + " --port " + port_ + " 2>" +
            (scratch_.path() / "wedge.err").string() + "'"));
        ASSERT_TRUE(eventually([&] { return keyCall("--scan-key release") == 0; }, 30s))
            << readFile(scratch_.path() / "wedge.err");
    }

    int keyCall(const std::string& arguments) const {
        return run(session(kWedge + " " + arguments + " 2>/dev/null"));
    }

    static inline std::unique_ptr<QCoreApplication> app_;
    test::TempFolder scratch_{"qm-mutter"};
    std::string busAddress_;
    std::string port_;
    long bus_ = 0;
    long mutter_ = 0;
    long engine_ = 0;
    long wedge_ = 0;
};

TEST_F(NoTypingPath, TheMainDialogSaysSoAndCountsTheBarCodesTypedNowhere) {
    startWedge();
    const QString a11y = AccessibleTree::accessibilityBus(QString::fromStdString(busAddress_));
    ASSERT_FALSE(a11y.isEmpty()) << "no accessibility bus";
    AccessibleTree tree(a11y);
    QStringList names;
    ASSERT_TRUE(eventually(
        [&] {
            names = tree.namesOf("Quillmark");
            return anyHas(names, "Bar codes cannot be typed into other applications: ");
        },
        20s))
        << names.join("\n").toStdString();
    EXPECT_TRUE(anyHas(names, "key bindings and scripts on the session bus (org.quillmark.Wedge)"))
        << names.join("\n").toStdString();
    EXPECT_TRUE(names.contains("Begin Scan") && names.contains("Bar Code Setup") &&
                names.contains("Exit"));

    ASSERT_EQ(keyCall("--scan-key press"), 0);
    ASSERT_EQ(keyCall("--scan-key release"), 0);
    EXPECT_TRUE(eventually(
        [&] {
            names = tree.namesOf("Quillmark");
            return names.contains("1 bar code read was typed into no application.");
        },
        10s))
        << names.join("\n").toStdString();
}

}  // namespace
}  // namespace qm::e2e
