// quillmark failing before it has a window: with no display at all, one line and status 1;
// with a display, a box the user can read without a terminal, and the same words on
// standard error.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "tests/RequiredTools.h"
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
        QM_SKIP_UNLESS_TOOLS(XtermUnderXvfb::available(), "Xvfb, xterm and xdotool");
        ASSERT_TRUE(x.start());
    }

    // Runs quillmark with `arguments`, waits for its "Error" box, closes it with Return and
    // gives back what it wrote on standard error; `status` is what it ended with.
    std::string failWithBox(const std::string& arguments, std::string& status) {
        const fs::path err = x.scratch() / "err";
        const fs::path done = x.scratch() / "status";
        fs::remove(done);
        startInBackground(x.withDisplay("sh -c '" + kWedge + " " + arguments + " 2>" + quoted(err) +
                                        "; echo $? > " + quoted(done) + "'"));
        EXPECT_EQ(run(x.withDisplay("timeout 20 xdotool search --sync --onlyvisible --name "
                                    "'^Error$' >/dev/null 2>&1")),
                  0)
            << "no box; standard error: " << readFile(err);
        // The box goes as the key lands, and a key that comes before the box can take it is
        // lost: only the end of the program tells. The key goes on its own, through XTest:
        // sent to the box's window, which may be gone, it could leave Return held down, and the
        // server's auto-repeat would close the next case's box before anyone saw it.
        for (int attempt = 0; attempt < 20 && !waitForFileSize(done, 2, 500ms); ++attempt) {
            run(
                x.withDisplay("xdotool search --onlyvisible --name '^Error$' windowfocus --sync "
                              ">/dev/null 2>&1"));
            run(x.withDisplay("xdotool key Return >/dev/null 2>&1"));
        }
        EXPECT_TRUE(waitForFileSize(done, 2, 1s));
        status = readFile(done);
        return readFile(err);
    }

    XtermUnderXvfb x;
};

TEST_F(BeforeAnyWindow, AFailureShowsABoxAndSaysWhyOnStandardError) {
    std::ofstream(x.scratch() / "file") << "a file, not a folder";
    const fs::path root = x.scratch() / "root";
    fs::create_directories(root / "dev/COM3/inside");
    const std::pair<std::string, std::string> cases[] = {
        {"--root " + (x.scratch() / "file/root").string(),
         "the folder " + (x.scratch() / "file/root/Program Files/Quillmark").string() +
             " cannot be created: Not a directory"},
        // Not the "File exists" of a link attempted over what could not be removed.
        {"--root " + root.string() + " --port /dev/null",
         (root / "dev/COM3").string() + " cannot be replaced: Directory not empty"},
    };
    for (const auto& [arguments, reason] : cases) {
        std::string status;
        const std::string err = failWithBox(arguments, status);
        EXPECT_EQ(status, "1\n") << arguments;
        EXPECT_NE(err.find("quillmark: cannot start: " + reason + "\n"), std::string::npos) << err;
    }
}

// Nobody sees a box without a window, so none may be waited on: each failure ends the program
// at once with status 1 and says on standard error what happened and what to do.
TEST_F(BeforeAnyWindow, WithoutAWindowFailuresEndAtOnceOnStandardError) {
    std::ofstream(x.scratch() / "file") << "a file, not a folder";
    struct Case {
        std::string commandLine;
        std::vector<std::string> said;
    };
    const Case cases[] = {
        {x.withDisplay(kWedge + " --no-window --root " + quoted(x.scratch() / "fresh")),
         {"quillmark: CommPort failed to Open! (no serial port has been chosen for the scanner "
          "yet)\n",
          "without a window nobody can choose: start Quillmark once with its window"}},
        {x.withDisplay(kWedge + " --no-window --root " + quoted(x.scratch() / "r") + " --port " +
                       quoted(x.scratch() / "file")),
         {"quillmark: CommPort failed to Open! (" + (x.scratch() / "file").string() +
          ": not a terminal)\n"}},
        {x.withDisplay(kWedge + " --no-window --root " + quoted(x.scratch() / "file/root")),
         {"quillmark: cannot start: the folder "}},
        // What hung on a box nobody could see.
        {"-u DISPLAY QT_QPA_PLATFORM=offscreen " + kWedge + " --root " +
             quoted(x.scratch() / "offscreen"),
         {"quillmark: CommPort failed to Open! (no serial port has been chosen"}},
    };
    for (const Case& c : cases) {
        const fs::path err = x.scratch() / "err";
        const int status = run("timeout 20 env " + c.commandLine + " 2>" + quoted(err));
        ASSERT_TRUE(WIFEXITED(status)) << c.commandLine;
        EXPECT_EQ(WEXITSTATUS(status), 1) << c.commandLine << "\n" << readFile(err);
        for (const std::string& words : c.said)
            EXPECT_NE(readFile(err).find(words), std::string::npos) << words << " not in\n"
                                                                    << readFile(err);
    }
}

#ifdef QM_ENGINE_SIM
TEST_F(BeforeAnyWindow, WithoutAWindowAnUnreadableProfileIsNotReplacedUnasked) {
    const fs::path engineOut = x.scratch() / "engine.out";
    const long engine = startInBackground("sh -c 'exec " + std::string(QM_ENGINE_SIM) + " > " +
                                          quoted(engineOut) + "'");
    ASSERT_TRUE(waitForFileSize(engineOut, 2, 5s));
    const std::string pty = readFile(engineOut).substr(0, readFile(engineOut).find('\n'));
    const fs::path profiles = x.scratch() / "root/Program Files/Quillmark";
    fs::create_directories(profiles);
    fs::copy_file(QM_SOURCE_DIR "/resources/defaults.cfg", profiles / "defaults.cfg");
    std::ofstream(profiles / "LastUser.cfg") << "0 F3";
    const fs::path err = x.scratch() / "err";
    const int status =
        run(x.withDisplay("timeout 20 " + kWedge + " --no-window --root " +
                          quoted(x.scratch() / "root") + " --port " + pty + " 2>" + quoted(err)));
    stopProgram(engine);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1) << readFile(err);
    EXPECT_NE(readFile(err).find("quillmark: Configuration file failed to load! ("),
              std::string::npos)
        << readFile(err);
    EXPECT_NE(readFile(err).find("nobody can choose \"Use Factory Defaults\""), std::string::npos);
    EXPECT_EQ(readFile(profiles / "LastUser.cfg"), "0 F3");
}
#endif

}  // namespace
}  // namespace qm::e2e
