#pragma once

// A headless sway of our own with XWayland and a session bus, for the tests and benchmarks
// that type into native Wayland windows (foot) and X windows (xterm through XWayland), each
// receiver writing whatever it is typed into a file. sway refuses to run as root, so under
// root the session runs as an unprivileged user made for it, and so do the programs the tests
// run in it. Programs are started through the shell so nothing here needs the operating
// system's own headers.

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/SanitizerOptions.h"
#include "tests/e2e/XtermUnderXvfb.h"

namespace qm::e2e {

class SwayHeadless {
public:
    enum class Receiver { Foot, Xterm };

    static bool available() {
        for (const char* program : {"sway", "swaymsg", "foot", "xterm", "Xwayland", "xhost",
                                    "xdotool", "xprop", "setpriv", "dbus-run-session"})
            if (!programAvailable(program)) return false;
        return true;
    }

    ~SwayHeadless() {
        for (const Receiver r : {Receiver::Foot, Receiver::Xterm})
            stopProgram(pidIn(scratch() / "out" / (receiverName(r) + ".pid")));
        // The bus of the session ends with sway, and its runner with both.
        stopProgram(pidIn(scratch() / "out" / "sway.pid"));
        waitFor([&] { return run("! kill -0 " + std::to_string(sway_) + " 2>/dev/null") == 0; });
        stopProgram(sway_);
        // XWayland and the terminals' shells leave with it; none may outlive the folder.
        const std::string gone = runningAsRoot()
                                     ? std::string("! pgrep -u ") + SessionUser + " >/dev/null"
                                     : "! kill -0 " + std::to_string(sway_) + " 2>/dev/null";
        waitFor([&] { return run(gone) == 0; });
    }

    // `config` is added to sway's own: key bindings, say.
    bool start(const std::string& config = {}) {
        if (!prepareUser()) return false;
        const auto runtime = scratch() / "runtime";
        const auto configFile = scratch() / "config";
        std::ofstream(configFile) << "xwayland force\n"
                                     "default_border none\n"
                                     "focus_on_window_activation none\n"
                                  << config;
        sway_ = startInBackground(
            asUser("env -i " + sanitizerOptions() + "PATH=/usr/local/bin:/usr/bin:/bin HOME=" +
                   quoted(scratch()) + " XDG_RUNTIME_DIR=" + quoted(runtime) +
                   " WLR_BACKENDS=headless WLR_RENDERER=pixman "
                   "WLR_LIBINPUT_NO_DEVICES=1 dbus-run-session -- sh -c 'echo $$ > " +
                   (scratch() / "out" / "sway.pid").string() + "; exec sway -c " +
                   configFile.string() + "'"));
        if (!waitFor([&] { return !findSocket("wayland-").empty(); }) ||
            !waitFor([&] { return !findSocket("sway-ipc.").empty(); }))
            return false;
        waylandDisplay_ = findSocket("wayland-");
        swaySocket_ = findSocket("sway-ipc.");
        // The X display is known once the session can run programs; the tests, which may
        // run as root, are let on it.
        const auto display = scratch() / "out" / "display";
        if (!swayExec("echo $DISPLAY > " + quoted(display) + "; xhost +si:localuser:root") ||
            !waitForFileSize(display, 2, std::chrono::seconds(10)))
            return false;
        xDisplay_ = readFile(display);
        xDisplay_.erase(xDisplay_.find_last_not_of('\n') + 1);
        return waitFor([&] { return run(withXDisplay("xhost >/dev/null 2>&1")) == 0; });
    }

    // Starts a receiver writing what it is typed to its file, and focuses it. The shell
    // opens the file only after the terminal is raw, so its existence says typing may begin.
    bool startReceiver(Receiver receiver) {
        const std::string name = receiverName(receiver);
        const auto file = output(receiver);
        const std::string catInto = "sh -c 'stty raw -echo; exec cat > " + file.string() + "'";
        const std::string program =
            receiver == Receiver::Foot ? "foot --app-id=" + name + " " + catInto
                                       : "xterm -class " + name + " -geometry 100x30 -e " + catInto;
        if (!swayExec("echo $$ > " + quoted(scratch() / "out" / (name + ".pid")) + "; exec " +
                      program))
            return false;
        return waitForFileSize(file, 0, std::chrono::seconds(10)) && focus(receiver);
    }

    bool focus(Receiver receiver) {
        const std::string criteria = receiver == Receiver::Foot
                                         ? "[app_id=\"" + receiverName(receiver) + "\"]"
                                         : "[class=\"" + receiverName(receiver) + "\"]";
        if (!waitFor([&] { return swaymsg("'" + criteria + " focus'"); })) return false;
        // sway hands an X window the focus through XWayland after it answers.
        return receiver == Receiver::Foot || waitFor([&] {
                   return run(withXDisplay(
                              "xprop -id \"$(" + withXDisplay("xdotool getactivewindow") +
                              ")\" WM_CLASS 2>/dev/null | grep -q " + receiverName(receiver))) == 0;
               });
    }

    // The keyboard layout of every keyboard, as a user sets it in sway.
    bool setLayout(const std::string& layout) {
        return swaymsg("input type:keyboard xkb_layout " + layout);
    }

    // A folder made by the tests, handed to the session's user.
    static bool giveToSession(const std::filesystem::path& folder) {
        return !runningAsRoot() ||
               run(std::string("chown -R ") + SessionUser + " " + quoted(folder)) == 0;
    }

    // Runs shell commands in the session, as its user, with its displays and its bus; returns
    // at once.
    bool exec(const std::string& shellCommands) { return swayExec(shellCommands); }

    // The same, waiting for them to end: their exit status, or -1 when they did not end in
    // time.
    int execAndWait(const std::string& shellCommands,
                    std::chrono::milliseconds limit = std::chrono::seconds(10)) {
        const auto status = scratch() / "out" / ("status-" + std::to_string(scripts_ + 1));
        if (!swayExec("(" + shellCommands + "); echo $? > " + quoted(status))) return -1;
        if (!waitForFileSize(status, 2, limit)) return -1;
        return std::stoi(readFile(status));
    }

    bool swaymsg(const std::string& arguments) const {
        return run("SWAYSOCK=" + e2e::quoted(swaySocket_) + " swaymsg " + arguments +
                   " >/dev/null 2>&1") == 0;
    }

    std::filesystem::path output(Receiver receiver) const {
        return scratch() / "out" / receiverName(receiver);
    }
    // Usable as a display name by a Wayland client of any user.
    const std::string& waylandDisplay() const { return waylandDisplay_; }
    const std::string& xDisplay() const { return xDisplay_; }
    std::string withWayland(const std::string& commandLine) const {
        return "WAYLAND_DISPLAY=" + e2e::quoted(waylandDisplay_) + " " + commandLine;
    }
    std::string withXDisplay(const std::string& commandLine) const {
        return "DISPLAY=" + xDisplay_ + " " + commandLine;
    }
    const std::filesystem::path& scratch() const { return scratch_.path(); }

private:
    static constexpr const char* SessionUser = "quillmark-e2e";

    static bool runningAsRoot() { return run("test \"$(id -u)\" -eq 0") == 0; }

    static std::string receiverName(Receiver receiver) {
        return receiver == Receiver::Foot ? "quillmark-foot" : "QuillmarkXterm";
    }

    static long pidIn(const std::filesystem::path& file) {
        const std::string text = readFile(file);
        return text.empty() ? 0 : std::stol(text);
    }

    template <typename Condition>
    static bool waitFor(Condition done) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!done()) {
            if (std::chrono::steady_clock::now() > end) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return true;
    }

    // The session's user owns the runtime folder and the receivers' output folder.
    bool prepareUser() const {
        const std::string owner = runningAsRoot() ? SessionUser : "$(id -un)";
        if (runningAsRoot() &&
            run(std::string("id -u ") + SessionUser + " >/dev/null 2>&1 || useradd --system " +
                "--no-create-home --shell /usr/sbin/nologin " + SessionUser) != 0)
            return false;
        return run("chmod 755 " + quoted(scratch()) + " && install -d -m 700 -o " + owner + " " +
                   quoted(scratch() / "runtime") + " && install -d -m 755 -o " + owner + " " +
                   quoted(scratch() / "out")) == 0;
    }

    // setpriv replaces itself with the program, so the process id started is the program's.
    static std::string asUser(const std::string& commandLine) {
        if (!runningAsRoot()) return commandLine;
        return std::string("setpriv --reuid=") + SessionUser + " --regid=" + SessionUser +
               " --init-groups " + commandLine;
    }

    // Through a script: sway would split a command line at its own separators.
    bool swayExec(const std::string& shellCommands) {
        const auto script = scratch() / ("exec-" + std::to_string(++scripts_) + ".sh");
        std::ofstream(script) << "#!/bin/sh\n" << shellCommands << "\n";
        return run("chmod 755 " + quoted(script)) == 0 && swaymsg("exec " + quoted(script));
    }

    std::string findSocket(const std::string& prefix) const {
        std::error_code error;
        for (const auto& entry :
             std::filesystem::directory_iterator(scratch() / "runtime", error)) {
            const std::string name = entry.path().filename().string();
            if (name.rfind(prefix, 0) == 0 && entry.is_socket()) return entry.path().string();
        }
        return {};
    }

    test::TempFolder scratch_{"qm-sway"};
    long sway_ = 0;  // the session's runner: dbus-run-session
    std::string waylandDisplay_;
    std::string swaySocket_;
    std::string xDisplay_;
    int scripts_ = 0;
};

}  // namespace qm::e2e
