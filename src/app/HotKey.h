// The announce-time hotkey as stored in skin.ini: a modifier text such as
// "Ctrl + Shift" and one letter.
#pragma once

#include <string>

namespace tempora {

// MOD_ALT 1, MOD_CONTROL 2, MOD_SHIFT 4 combined, or -1 for any other text.
// Compared without regard to case; the blanks around "+" are part of the text.
int HotKeyModifiers(const std::string& text);

// The virtual key of the first character: 'A' … 'Z' give 0x41 … 0x5A, a lower
// case letter its capital; anything else 0 (no hotkey).
int HotKeyVirtualKey(const std::string& text);

}  // namespace tempora
