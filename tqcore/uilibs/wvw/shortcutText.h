// The text a menu shows for a keyboard shortcut, such as "Ctrl+Shift+F5" or "Alt+Ä".
#pragma once

#include <cstdint>
#include <string>

namespace wvw {

// A shortcut value: a keysym in bits 0 to 24 (0 for none) and the modifiers above it.
namespace shortcut {
constexpr std::uint32_t KeysymMask = 0x1FFFFFF;
constexpr std::uint32_t Shift = 1u << 25;
constexpr std::uint32_t Ctrl = 1u << 26;
constexpr std::uint32_t Alt = 1u << 27;
} // namespace shortcut

// "Ctrl+", "Shift+" and "Alt+" as the bits say, in that order, then the key: its name for the
// editing and function keys, else its character (letters as capitals), else "[Unknown key]".
// Without a keysym, only the modifiers.
std::string shortcutText(std::uint32_t shortcut);

} // namespace wvw
