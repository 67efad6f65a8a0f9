#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <unordered_map>

namespace qm::linux_platform {

// One key press of the layout in use: the keycode and the X modifier mask held around it.
struct KeyStroke {
    uint8_t keycode = 0;
    unsigned modifiers = 0;

    bool operator==(const KeyStroke&) const = default;
};

// A keysym the layout produces, and the stroke that produces it.
struct LayoutLevel {
    uint32_t keysym = 0;
    KeyStroke stroke;
};

// For each keysym, the stroke a typist would use: fewest modifiers, then lowest keycode.
class StrokeIndex {
public:
    StrokeIndex() = default;
    explicit StrokeIndex(std::span<const LayoutLevel> levels);

    std::optional<KeyStroke> find(uint32_t keysym) const;
    void add(uint32_t keysym, KeyStroke stroke);

private:
    std::unordered_map<uint32_t, KeyStroke> strokes_;
};

}  // namespace qm::linux_platform
