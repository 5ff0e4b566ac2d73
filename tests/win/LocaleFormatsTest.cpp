#include "core/DateTime.h"
#include "core/Encoding.h"
#include "core/LocaleFormats.h"
#include "win/LocaleFormats_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

using namespace tempora;

namespace {

std::string WindowsTime(const wchar_t* locale, const SYSTEMTIME& st) {
    wchar_t buf[128];
    const int n = GetTimeFormatEx(locale, 0, &st, nullptr, buf, 128);
    return n > 1 ? WideToUtf8(std::wstring_view(buf, static_cast<size_t>(n - 1))) : "?";
}

std::string WindowsShortDate(const wchar_t* locale, const SYSTEMTIME& st) {
    wchar_t buf[128];
    const int n = GetDateFormatEx(locale, DATE_SHORTDATE, &st, nullptr, buf, 128, nullptr);
    return n > 1 ? WideToUtf8(std::wstring_view(buf, static_cast<size_t>(n - 1))) : "?";
}

SYSTEMTIME At(int y, int mo, int d, int h, int mi, int s) {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(y);
    st.wMonth = static_cast<WORD>(mo);
    st.wDay = static_cast<WORD>(d);
    st.wHour = static_cast<WORD>(h);
    st.wMinute = static_cast<WORD>(mi);
    st.wSecond = static_cast<WORD>(s);
    return st;
}

}  // namespace

// The clock's own formatting of the user's settings reads exactly as Windows' own.
TEST(LocaleFormats, TimeAndDateReadAsWindowsShowsThem) {
    const wchar_t* const locales[] = {LOCALE_NAME_USER_DEFAULT,
                                      L"zh-CN",
                                      L"zh-TW",
                                      L"en-US",
                                      L"en-GB",
                                      L"de-DE",
                                      L"fr-FR",
                                      L"ja-JP",
                                      L"ko-KR"};
    const SYSTEMTIME moments[] = {At(2009, 3, 1, 0, 0, 5), At(2009, 3, 1, 9, 7, 3),
                                  At(2024, 12, 25, 12, 30, 0), At(2024, 12, 25, 15, 4, 9)};
    for (const wchar_t* locale : locales) {
        SCOPED_TRACE(locale ? WideToUtf8(locale) : "user default");
        ApplyLocaleFormats(locale);
        for (const SYSTEMTIME& st : moments) {
            const TDateTime t =
                EncodeDateTime(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond);
            EXPECT_EQ(FormatLongTime(t), WindowsTime(locale, st));
            EXPECT_EQ(FormatShortDate(t), WindowsShortDate(locale, st));
        }
    }
    ApplyUserLocaleFormats();
    const SYSTEMTIME st = At(2024, 12, 25, 15, 4, 9);
    EXPECT_EQ(FormatLongTime(EncodeDateTime(2024, 12, 25, 15, 4, 9)),
              WindowsTime(LOCALE_NAME_USER_DEFAULT, st));
    ApplyLocalePictures("", "", "", "");
}

// A locale Windows does not know leaves zh-CN's formats.
TEST(LocaleFormats, UnknownLocaleKeepsTheDefaults) {
    ApplyLocaleFormats(L"en-US");
    ApplyLocaleFormats(L"xx-Nowhere");
    EXPECT_EQ(FormatLongTime(EncodeDateTime(2024, 12, 25, 15, 4, 9)), "15:04:09");
    EXPECT_EQ(FormatShortDate(EncodeDate(2024, 12, 25)), "2024/12/25");
}
