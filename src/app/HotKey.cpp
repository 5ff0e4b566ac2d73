#include "HotKey.h"

#include "core/Text.h"

namespace tempora {

int HotKeyModifiers(const std::string& text) {
    static const struct {
        const char* text;
        int mask;
    } kTexts[] = {{"alt", 1},
                  {"ctrl", 2},
                  {"shift", 4},
                  {"alt + ctrl", 3},
                  {"alt + shift", 5},
                  {"ctrl + shift", 6},
                  {"alt + ctrl + shift", 7}};
    for (const auto& t : kTexts) {
        if (EqualsNoCase(text, t.text))
            return t.mask;
    }
    return -1;
}

int HotKeyVirtualKey(const std::string& text) {
    if (text.empty())
        return 0;
    const char c = text[0];
    if (c >= 'A' && c <= 'Z')
        return c;
    // The character code of a lower-case letter is that of a function or
    // numeric-pad key; the letter is what a hand-edited file means.
    if (c >= 'a' && c <= 'z')
        return c - 32;
    return 0;
}

}  // namespace tempora
