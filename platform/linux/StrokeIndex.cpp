#include "platform/linux/StrokeIndex.h"

#include <bit>
#include <tuple>

namespace qm::linux_platform {
namespace {

bool easier(const KeyStroke& a, const KeyStroke& b) {
    return std::tuple(std::popcount(a.modifiers), a.modifiers, a.keycode) <
           std::tuple(std::popcount(b.modifiers), b.modifiers, b.keycode);
}

}  // namespace

StrokeIndex::StrokeIndex(std::span<const LayoutLevel> levels) {
    for (const LayoutLevel& level : levels) add(level.keysym, level.stroke);
}

std::optional<KeyStroke> StrokeIndex::find(uint32_t keysym) const {
    const auto it = strokes_.find(keysym);
    if (it == strokes_.end()) return std::nullopt;
    return it->second;
}

void StrokeIndex::add(uint32_t keysym, KeyStroke stroke) {
    const auto [it, inserted] = strokes_.try_emplace(keysym, stroke);
    if (!inserted && easier(stroke, it->second)) it->second = stroke;
}

}  // namespace qm::linux_platform
