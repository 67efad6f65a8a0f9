// The command-line engine tool on the real serial backend, against the engine simulator
// on a pseudo-terminal.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/XtermUnderXvfb.h"

namespace {

namespace fs = std::filesystem;

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs a shell command with its output kept in files of `folder`.
ToolRun runCommand(const std::string& command, const fs::path& folder) {
    const fs::path out = folder / "tool.out";
    const fs::path err = folder / "tool.err";
    const std::string line = command + " >" + out.string() + " 2>" + err.string();
    const int status = std::system(line.c_str());
    return {WEXITSTATUS(status), qm::e2e::readFile(out), qm::e2e::readFile(err)};
}

class EngineToolEndToEnd : public ::testing::Test {
protected:
    virtual std::string simOptions() const { return "--barcode code128:E2E"; }

    void SetUp() override {
        const fs::path simOut = folder_ / "sim.out";
        // exec keeps the process id the simulator's own, so stopping it stops the simulator.
        simPid_ = qm::e2e::startInBackground("sh -c 'exec " + std::string(QM_ENGINE_SIM) + " " +
                                             simOptions() + " > " + simOut.string() + "'");
        ASSERT_GT(simPid_, 0);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (port_.empty() && std::chrono::steady_clock::now() < deadline) {
            std::ifstream in(simOut);
            std::getline(in, port_);
            if (port_.empty()) std::this_thread::yield();
        }
        ASSERT_FALSE(port_.empty()) << "the simulator printed no terminal path";
    }

    void TearDown() override { qm::e2e::stopProgram(simPid_); }

    ToolRun tool(const std::string& arguments) {
        return runCommand(std::string(QM_ENGINE_TOOL) + " " + arguments, folder_);
    }

    std::map<int, int> parameters() { return parametersOf(port_); }

    std::map<int, int> parametersOf(const std::string& port) {
        const ToolRun run = tool(port + " params");
        EXPECT_EQ(run.exitCode, 0) << run.err;
        std::map<int, int> values;
        std::istringstream lines(run.out);
        int number = 0;
        int value = 0;
        while (lines >> number >> value) values[number] = value;
        return values;
    }

    qm::test::TempFolder scratch_{"qm-e2e-tool"};
    const fs::path folder_ = scratch_.path();
    std::string port_;
    long simPid_ = 0;
};

TEST_F(EngineToolEndToEnd, ReadsSetsAndReadsBackAParameter) {
    const auto before = parameters();
    ASSERT_GT(before.size(), 60u);
    ASSERT_NE(before.at(136), 45);
    EXPECT_EQ(tool(port_ + " set 136 45").exitCode, 0);
    EXPECT_EQ(parameters().at(136), 45);
    EXPECT_EQ(tool(port_ + " set --permanent 0x88 46").exitCode, 0);
    EXPECT_EQ(parameters().at(136), 46);
    EXPECT_EQ(tool(port_ + " set --extended 0x52 1").exitCode, 0);
}

TEST_F(EngineToolEndToEnd, AimAndEnableSucceed) {
    for (const char* command : {"aim on", "aim off", "enable"}) {
        const ToolRun run = tool(port_ + " " + command);
        EXPECT_EQ(run.exitCode, 0) << command << ": " << run.err;
    }
}

TEST_F(EngineToolEndToEnd, BurnsTheFactoryProfileAndSynchronisesOne) {
    fs::copy_file(fs::path(QM_SOURCE_DIR) / "resources/defaults.cfg", folder_ / "defaults.cfg");
    const ToolRun burn = tool(port_ + " burn " + folder_.string());
    EXPECT_EQ(burn.exitCode, 0) << burn.err;
    EXPECT_EQ(qm::e2e::readFile(folder_ / "LastUser.cfg"),
              qm::e2e::readFile(folder_ / "defaults.cfg"));
    const ToolRun sync = tool(port_ + " sync " + (folder_ / "LastUser.cfg").string());
    EXPECT_EQ(sync.exitCode, 0) << sync.err;
    EXPECT_NE(sync.err.find("85/85"), std::string::npos);
}

TEST_F(EngineToolEndToEnd, ScansOnceAndPrintsTheDecode) {
    const ToolRun good = tool(port_ + " scan");
    EXPECT_EQ(good.exitCode, 0) << good.err;
    EXPECT_EQ(good.out, "E2E\n");
    // With its symbology off and the no-read message on, the engine reports a no-read.
    ASSERT_EQ(tool(port_ + " set 8 0").exitCode, 0);
    ASSERT_EQ(tool(port_ + " set 94 1").exitCode, 0);
    const ToolRun noRead = tool(port_ + " scan");
    EXPECT_EQ(noRead.exitCode, 1);
    EXPECT_NE(noRead.err.find("outcome 25"), std::string::npos) << noRead.err;
}

TEST_F(EngineToolEndToEnd, FailuresSayWhatWentWrong) {
    const ToolRun badValue = tool(port_ + " set 300 1");
    EXPECT_EQ(badValue.exitCode, 2);
    EXPECT_NE(badValue.err.find("0 to 255"), std::string::npos);

    const ToolRun noPort = tool((folder_ / "no-such-port").string() + " params");
    EXPECT_EQ(noPort.exitCode, 1);
    EXPECT_NE(noPort.err.find("cannot open port " + (folder_ / "no-such-port").string() +
                              ": no such device"),
              std::string::npos)
        << noPort.err;

    const ToolRun noDefaults = tool(port_ + " burn " + (folder_ / "empty").string());
    EXPECT_EQ(noDefaults.exitCode, 1);
    EXPECT_NE(noDefaults.err.find("link status 28"), std::string::npos);
}

// A second simulator with fault options, for the cases the fixture's faultless one cannot
// show; stopped when the test ends.
class FaultySimulator {
public:
    FaultySimulator(const fs::path& folder, const std::string& options)
        : errors_(folder / "faulty-sim.err") {
        const fs::path out = folder / "faulty-sim.out";
        pid_ =
            qm::e2e::startInBackground("sh -c 'exec " + std::string(QM_ENGINE_SIM) + " " + options +
                                       " > " + out.string() + " 2> " + errors_.string() + "'");
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (port_.empty() && std::chrono::steady_clock::now() < deadline) {
            std::ifstream in(out);
            std::getline(in, port_);
            if (port_.empty()) std::this_thread::yield();
        }
    }
    ~FaultySimulator() { qm::e2e::stopProgram(pid_); }
    FaultySimulator(const FaultySimulator&) = delete;
    FaultySimulator& operator=(const FaultySimulator&) = delete;

    const std::string& port() const { return port_; }
    std::string errors() const { return qm::e2e::readFile(errors_); }

private:
    fs::path errors_;
    long pid_ = 0;
    std::string port_;
};

// The last send succeeding must not hide the refusals before it.
TEST_F(EngineToolEndToEnd, SyncNamesEveryRefusedTransactionAndFails) {
    FaultySimulator refusing(folder_, "--nak 6 --set 159=0");
    ASSERT_FALSE(refusing.port().empty());
    fs::copy_file(fs::path(QM_SOURCE_DIR) / "resources/LastUser.cfg", folder_ / "LastUser.cfg");
    const ToolRun sync = tool(refusing.port() + " sync " + (folder_ / "LastUser.cfg").string());
    EXPECT_EQ(sync.exitCode, 1);
    EXPECT_NE(sync.err.find("\nquillmark-engine: enabling scanning failed: link status 13 "),
              std::string::npos)
        << sync.err;
    EXPECT_NE(sync.err.find("\nquillmark-engine: parameter 159 (0x9F) failed: link status 13 "),
              std::string::npos)
        << sync.err;
}

TEST_F(EngineToolEndToEnd, SyncRefusesAProfileThatIsNotAWholeFile) {
    const std::string shipped =
        qm::e2e::readFile(fs::path(QM_SOURCE_DIR) / "resources/LastUser.cfg");
    std::ofstream(folder_ / "half.cfg") << shipped.substr(0, shipped.find("CommandArray:"));
    ASSERT_EQ(::mkfifo((folder_ / "fifo.cfg").c_str(), 0600), 0);
    const std::pair<std::string, std::string> cases[] = {
        {"half.cfg", ": line 10: the file ends before the label CommandArray:\n"},
        {"fifo.cfg", ": the file is not a regular file\n"},  // and the tool does not hang
    };
    for (const auto& [name, reason] : cases) {
        const ToolRun sync = tool(port_ + " sync " + (folder_ / name).string());
        EXPECT_EQ(sync.exitCode, 1) << name;
        EXPECT_EQ(sync.err,
                  "quillmark-engine: cannot load profile " + (folder_ / name).string() + reason);
    }
}

TEST_F(EngineToolEndToEnd, BurnFailsWhenItsProfileIsEmptyOrTheWorkingCopyIsNotWritten) {
    std::ofstream(folder_ / "defaults.cfg").close();
    const ToolRun empty = tool(port_ + " burn " + folder_.string());
    EXPECT_EQ(empty.exitCode, 1);
    EXPECT_NE(empty.err.find("defaults.cfg: line 1: the file ends before field 0"),
              std::string::npos)
        << empty.err;
    EXPECT_NE(empty.err.find("link status 28"), std::string::npos);

    fs::copy_file(fs::path(QM_SOURCE_DIR) / "resources/defaults.cfg", folder_ / "defaults.cfg",
                  fs::copy_options::overwrite_existing);
    fs::create_directory(folder_ / "LastUser.cfg");  // cannot be replaced by a file
    const ToolRun unwritten = tool(port_ + " burn " + folder_.string());
    EXPECT_EQ(unwritten.exitCode, 1);
    EXPECT_NE(unwritten.err.find("the engine holds the factory defaults, but the working "
                                 "profile " +
                                 (folder_ / "LastUser.cfg").string() + " was not written"),
              std::string::npos)
        << unwritten.err;
}

// An engine that answers the moment a request has been written, as a pseudo-terminal
// engine does: the answer must not be lost to the request's own housekeeping.
class EngineToolQuickEngine : public EngineToolEndToEnd {
protected:
    std::string simOptions() const override { return "--barcode code128:E2E --reply-delay 0"; }
};

TEST_F(EngineToolQuickEngine, ReadsTheTableSetsScansAndBurnsWithVerification) {
    const auto before = parameters();
    ASSERT_GT(before.size(), 60u);
    EXPECT_EQ(before.at(136), 30);
    EXPECT_EQ(tool(port_ + " set 136 45").exitCode, 0);
    EXPECT_EQ(parameters().at(136), 45);
    EXPECT_EQ(tool(port_ + " scan").out, "E2E\n");
    fs::copy_file(fs::path(QM_SOURCE_DIR) / "resources/defaults.cfg", folder_ / "defaults.cfg");
    const ToolRun burn = tool(port_ + " burn " + folder_.string());
    EXPECT_EQ(burn.exitCode, 0) << burn.err;
}

TEST_F(EngineToolEndToEnd, RepeatedSimulatorOptionsKeepTheirMeaning) {
    FaultySimulator repeated(folder_,
                             "--barcode code39:FIRST --barcode code128:LAST "
                             "--set 136=45 --set 0x89=7");
    ASSERT_FALSE(repeated.port().empty());
    const auto values = parametersOf(repeated.port());
    EXPECT_EQ(values.at(136), 45);
    EXPECT_EQ(values.at(137), 7);
    EXPECT_EQ(tool(repeated.port() + " scan").out, "LAST\n");
}

// The trace's lines with their time stamps taken off; anything else on the stream stays.
std::vector<std::string> traceLines(const std::string& stream) {
    static const std::regex stamped("quillmark\\.packets: +[0-9]+\\.[0-9]{3} (.*)");
    std::vector<std::string> lines;
    std::istringstream in(stream);
    for (std::string line; std::getline(in, line);) {
        std::smatch match;
        lines.push_back(std::regex_match(line, match, stamped) ? match[1].str() : line);
    }
    return lines;
}

// Both ends of one line traced, a refusal cut short included: the tool's side with its link
// status, the simulator's as the engine saw it; and nothing from a tool run without --trace.
TEST_F(EngineToolEndToEnd, TraceShowsEveryPacketWhenAsked) {
    FaultySimulator refusingOnce(folder_, "--trace --nak 1 --short 1");
    ASSERT_FALSE(refusingOnce.port().empty());
    const ToolRun traced = tool(refusingOnce.port() + " aim on --trace");
    EXPECT_EQ(traced.exitCode, 0);
    EXPECT_EQ(traceLines(traced.err),
              (std::vector<std::string>{"sent     AIM_ON           04 C5 04 00 FF 33",
                                        "received CMD_NAK          04 D1 04 00 FF (5 of 6 bytes)",
                                        "sent     AIM_ON           04 C5 04 00 FF 33",
                                        "received CMD_ACK          04 D0 04 00 FF 28",
                                        "sendCommand status 0: success"}));
    const ToolRun quiet = tool(refusingOnce.port() + " aim off");
    EXPECT_EQ(quiet.exitCode, 0);
    EXPECT_EQ(quiet.err, "");
    EXPECT_EQ(traceLines(refusingOnce.errors()),
              (std::vector<std::string>{"received AIM_ON           04 C5 04 00 FF 33",
                                        "sent     CMD_NAK          04 D1 04 00 FF (5 of 6 bytes)",
                                        "received AIM_ON           04 C5 04 00 FF 33",
                                        "sent     CMD_ACK          04 D0 04 00 FF 28",
                                        "received AIM_OFF          04 C4 04 00 FF 34",
                                        "sent     CMD_ACK          04 D0 04 00 FF 28"}));
}

// Help, version and usage errors come before any port is opened: the port here does not
// exist, and a usage error still exits with 2, not 1.
TEST(ConsoleCommandLines, AnswerHelpVersionAndUsageErrors) {
    struct Case {
        std::string program;
        std::string arguments;
        int exitCode;
        std::string said;  // on standard output for 0, on standard error otherwise
    };
    const std::string tool = QM_ENGINE_TOOL;
    const std::string sim = QM_ENGINE_SIM;
    const std::string port = "/nonexistent/port";
    const Case cases[] = {
        {tool, "--help", 0, "Usage: quillmark-engine [OPTIONS] PORT COMMAND"},
        {tool, "--version", 0, "quillmark-engine " QM_VERSION "\n"},
        {tool, "-v", 0, "quillmark-engine " QM_VERSION "\n"},
        {tool, port + " set --help", 0, "--permanent"},
        {tool, "", 2, "quillmark-engine: PORT is required"},
        {tool, port, 2, "quillmark-engine: no command given"},
        {tool, port + " frobnicate", 2, "quillmark-engine: unknown command frobnicate"},
        {tool, port + " --bogus params", 2, "quillmark-engine: unknown option --bogus"},
        {tool, port + " params extra", 2, "not expected: extra"},
        {tool, port + " aim up", 2, "up not in {on,off}"},
        {tool, port + " set 1", 2, "VALUE is required"},
        {tool, port + " set 0x100 1", 2, "NUMBER: must be 0 to 255"},
        {tool, port + " set 1 -1", 2, "VALUE: must be 0 to 255"},
        {tool, port + " sync", 2, "PROFILE is required"},
        {tool, port + " burn a b", 2, "not expected: b"},
        {sim, "--help", 0, "--no-read-message"},
        {sim, "--version", 0, "quillmark-engine-sim " QM_VERSION "\n"},
        {sim, "--nak -1", 2, "quillmark-engine-sim: --nak: bad value \"-1\""},
        {sim, "--reply-delay 0x10", 2, "--reply-delay: bad value"},
        {sim, "--barcode nosuch:1", 2, "--barcode: bad value"},
        {sim, "--set 1=2 --set 300=1", 2, "--set: bad value \"300=1\""},
        {sim, "--short", 2, "--short"},
        {sim, "stray", 2, "not expected: stray"},
    };
    qm::test::TempFolder scratch("qm-e2e-options");
    for (const Case& c : cases) {
        const ToolRun run = runCommand(c.program + " " + c.arguments, scratch.path());
        const std::string& said = c.exitCode == 0 ? run.out : run.err;
        EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments << ": " << run.err;
        EXPECT_NE(said.find(c.said), std::string::npos) << c.arguments << ": " << said;
    }
}

TEST(EngineSimHelp, ListsTheReplyDelay) {
    const std::string command = std::string(QM_ENGINE_SIM) + " --help";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string help;
    char chunk[256];
    while (size_t n = std::fread(chunk, 1, sizeof chunk, pipe)) help.append(chunk, n);
    EXPECT_EQ(::pclose(pipe), 0);
    EXPECT_NE(help.find("--reply-delay MS"), std::string::npos);
}

}  // namespace
