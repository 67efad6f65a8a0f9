// quillmark failing before it has a window: with no display at all, one line and status 1;
// with a display, a box the user can read without a terminal, and the same words on
// standard error.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "tests/e2e/XtermUnderXvfb.h"

namespace qm::e2e {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string kWedge = QM_WEDGE;

TEST(WedgeStartFailure, WithoutADisplayOneLineAndStatus1) {
    test::TempFolder scratch{"qm-e2e-nodisplay"};
    const fs::path err = scratch.path() / "err";
    const int status = run("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + kWedge +
                           " --root " + quoted(scratch.path() / "root") + " 2>" + quoted(err));
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(readFile(err),
              "quillmark: no display (neither DISPLAY nor WAYLAND_DISPLAY is set)\n");
    EXPECT_FALSE(fs::exists(scratch.path() / "root"));
}

class BeforeAnyWindow : public ::testing::Test {
protected:
    void SetUp() override {
        if (!XtermUnderXvfb::available()) GTEST_SKIP() << "Xvfb, xterm or xdotool missing";
        ASSERT_TRUE(x.start());
    }

    // Runs quillmark with `arguments`, waits for its "Error" box, closes it with Return and
    // gives back what it wrote on standard error; `status` is what it ended with.
    std::string failWithBox(const std::string& arguments, std::string& status) {
        const fs::path err = x.scratch() / "err";
        const fs::path done = x.scratch() / "status";
        startInBackground(x.withDisplay("sh -c '" + kWedge + " " + arguments + " 2>" + quoted(err) +
                                        "; echo $? > " + quoted(done) + "'"));
        EXPECT_EQ(run(x.withDisplay("timeout 20 xdotool search --sync --onlyvisible --name "
                                    "'^Error$' >/dev/null 2>&1")),
                  0);
        // The box goes as the key lands, so xdotool may find its window gone: only the end
        // of the program tells that it closed.
        run(
            x.withDisplay("xdotool search --onlyvisible --name '^Error$' windowfocus --sync key "
                          "Return >/dev/null 2>&1"));
        EXPECT_TRUE(waitForFileSize(done, 2, 10s));
        status = readFile(done);
        return readFile(err);
    }

    XtermUnderXvfb x;
};

TEST_F(BeforeAnyWindow, ADeviceRootThatCannotBeMadeShowsABox) {
    std::ofstream(x.scratch() / "file") << "a file, not a folder";
    std::string status;
    const std::string err = failWithBox("--root " + (x.scratch() / "file/root").string(), status);
    EXPECT_EQ(status, "1\n");
    EXPECT_NE(err.find("quillmark: cannot start: the folder " +
                       (x.scratch() / "file/root/Program Files/Quillmark").string() +
                       " cannot be created: Not a directory\n"),
              std::string::npos)
        << err;
}

TEST_F(BeforeAnyWindow, APortLinkThatCannotReplaceWhatIsThereSaysWhy) {
    const fs::path root = x.scratch() / "root";
    fs::create_directories(root / "dev/COM3/inside");
    std::string status;
    const std::string err = failWithBox("--root " + root.string() + " --port /dev/null", status);
    EXPECT_EQ(status, "1\n");
    EXPECT_NE(err.find("quillmark: cannot start: " + (root / "dev/COM3").string() +
                       " cannot be replaced: Directory not empty\n"),
              std::string::npos)
        << err;
}

}  // namespace
}  // namespace qm::e2e
