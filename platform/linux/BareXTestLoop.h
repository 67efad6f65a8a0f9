#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct _XDisplay;

namespace qm::linux_platform {

// The plainest way to type ASCII through XTest, as the yardstick the XTest keyboard is
// measured against: each character's keycode and level looked up once in the layout in
// use, Shift and AltGr held around the key where the level needs them, every event back
// to back and one flush at the end. It notices no layout change; characters the layout
// lacks are put on spare keycodes while it lives.
class BareXTestLoop {
public:
    // Nothing when the display cannot be opened or lacks XTest.
    static std::unique_ptr<BareXTestLoop> open(const char* displayName);
    ~BareXTestLoop();

    BareXTestLoop(const BareXTestLoop&) = delete;
    BareXTestLoop& operator=(const BareXTestLoop&) = delete;

    // Returns once the server has taken every event. Characters it has no key for are
    // skipped.
    void type(const std::string& text);

private:
    struct Stroke {
        uint8_t keycode = 0;
        int level = 0;  // 0 plain, 1 Shift, 2 AltGr, 3 Shift and AltGr
    };

    explicit BareXTestLoop(_XDisplay* display);
    void readLevels();
    void borrowMissing();
    void typeStroke(const Stroke& stroke);

    _XDisplay* display_;
    uint8_t shiftKeycode_ = 0;
    uint8_t altGrKeycode_ = 0;
    std::array<std::optional<Stroke>, 128> strokes_{};
    std::vector<uint8_t> borrowed_;
};

}  // namespace qm::linux_platform
