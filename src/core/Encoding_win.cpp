#include "Encoding.h"

#include <windows.h>

namespace tempora {

namespace {
constexpr UINT kGbk = 936;

std::wstring ToWide(UINT cp, DWORD flags, std::string_view in) {
    if (in.empty())
        return {};
    const int n =
        MultiByteToWideChar(cp, flags, in.data(), static_cast<int>(in.size()), nullptr, 0);
    if (n <= 0)
        return {};
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(cp, flags, in.data(), static_cast<int>(in.size()), w.data(), n);
    return w;
}

std::string FromWide(UINT cp, std::wstring_view w) {
    if (w.empty())
        return {};
    const int n = WideCharToMultiByte(cp, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                                      nullptr, nullptr);
    if (n <= 0)
        return {};
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(cp, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}
}  // namespace

std::string Utf8ToGbk(std::string_view utf8) {
    // GBK has no characters beyond the BMP: each surrogate pair becomes one '?',
    // as on every other platform.
    std::wstring wide = Utf8ToWide(utf8);
    std::wstring bmp;
    bmp.reserve(wide.size());
    for (size_t i = 0; i < wide.size(); ++i) {
        const bool pair = wide[i] >= 0xD800 && wide[i] <= 0xDBFF && i + 1 < wide.size() &&
                          wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF;
        bmp += pair ? L'?' : wide[i];
        i += pair ? 1 : 0;
    }
    return FromWide(kGbk, bmp);
}

std::string GbkToUtf8(std::string_view gbk) {
    return WideToUtf8(ToWide(kGbk, 0, gbk));
}

}  // namespace tempora
