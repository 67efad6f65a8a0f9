#pragma once

// An X server of our own with one xterm on it that writes whatever is typed into a file,
// for the tests and benchmarks that type through the real X backend. Programs are started
// through the shell so nothing here needs the operating system's own headers.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "tests/TempFolder.h"

namespace qm::e2e {

inline bool programAvailable(const std::string& name) {
    return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

inline int run(const std::string& commandLine) { return std::system(commandLine.c_str()); }

// Starts a command line in the background; its process id, or 0.
inline long startInBackground(const std::string& commandLine) {
    FILE* out = popen((commandLine + " </dev/null >/dev/null 2>&1 & echo $!").c_str(), "r");
    if (!out) return 0;
    long pid = 0;
    if (std::fscanf(out, "%ld", &pid) != 1) pid = 0;
    pclose(out);
    return pid;
}

inline void stopProgram(long pid) {
    if (pid > 0) run("kill " + std::to_string(pid) + " 2>/dev/null");
}

inline std::string readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

// Polls until the file holds at least `size` bytes or the deadline passes.
inline bool waitForFileSize(const std::filesystem::path& file, size_t size,
                            std::chrono::milliseconds deadline) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    std::error_code error;
    while (std::filesystem::file_size(file, error) < size || error) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}

inline std::string quoted(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

class XtermUnderXvfb {
public:
    static bool available() {
        return programAvailable("Xvfb") && programAvailable("xterm") &&
               programAvailable("xdotool") && programAvailable("setxkbmap");
    }

    ~XtermUnderXvfb() {
        stopProgram(xterm_);
        stopProgram(server_);
    }

    // The server picks a free display number itself; -noreset keeps a layout set by
    // setxkbmap when its last client goes.
    bool start() {
        const auto numberFile = scratch_.path() / "display";
        server_ = startInBackground(
            "Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 "
            "1024x768x24 3>" +
            quoted(numberFile));
        if (!waitForFileSize(numberFile, 2, std::chrono::seconds(10))) return false;
        display_ = ":" + std::to_string(std::stoi(readFile(numberFile)));
        // The shell opens the output file only after the terminal is raw, so its existence
        // says typing may begin.
        xterm_ =
            startInBackground(withDisplay("xterm -geometry 100x30+0+0 -e sh -c 'stty raw "
                                          "-echo; exec cat > " +
                                          quoted(output()) + "'"));
        if (!waitForFileSize(output(), 0, std::chrono::seconds(10))) return false;
        return run(withDisplay("timeout 10 xdotool search --sync --onlyvisible --class xterm "
                               "windowfocus --sync >/dev/null 2>&1")) == 0;
    }

    // The server goes as at the end of a session: every client loses its connection.
    void killServer() {
        stopProgram(server_);
        server_ = 0;
    }

    bool setLayout(const std::string& layout, const std::string& variant = "") {
        const std::string v = variant.empty() ? "" : " -variant " + variant;
        return run(withDisplay("setxkbmap -layout " + layout + v)) == 0;
    }

    std::string withDisplay(const std::string& commandLine) const {
        return "DISPLAY=" + display_ + " " + commandLine;
    }
    const std::string& display() const { return display_; }
    std::filesystem::path output() const { return scratch_.path() / "typed"; }
    const std::filesystem::path& scratch() const { return scratch_.path(); }

private:
    test::TempFolder scratch_{"qm-e2e"};
    long server_ = 0;
    long xterm_ = 0;
    std::string display_;
};

}  // namespace qm::e2e
