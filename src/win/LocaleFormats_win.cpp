#include "LocaleFormats_win.h"

#include "core/Encoding.h"
#include "core/LocaleFormats.h"

#include <windows.h>

#include <iterator>
#include <string>

namespace tempora {

namespace {

// One locale setting as UTF-8; empty when it cannot be read or is longer
// than any real setting (Windows caps pictures at 80 characters).
std::string LocaleText(const wchar_t* localeName, LCTYPE type) {
    wchar_t buf[128];
    const int n = GetLocaleInfoEx(localeName, type, buf, static_cast<int>(std::size(buf)));
    return n > 1 ? WideToUtf8(std::wstring_view(buf, static_cast<size_t>(n - 1))) : std::string();
}

}  // namespace

void ApplyLocaleFormats(const wchar_t* localeName) {
    ApplyLocalePictures(LocaleText(localeName, LOCALE_STIMEFORMAT),
                        LocaleText(localeName, LOCALE_SSHORTDATE),
                        LocaleText(localeName, LOCALE_S1159), LocaleText(localeName, LOCALE_S2359));
}

void ApplyUserLocaleFormats() {
    ApplyLocaleFormats(LOCALE_NAME_USER_DEFAULT);
}

}  // namespace tempora
