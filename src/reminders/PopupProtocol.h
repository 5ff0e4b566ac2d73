// What the bar and the popup program PopupMsg.exe say to each other.
//
// The bar starts "<program folder>PopupMsg.exe <bar window handle in decimal>".
// The popup then posts kPopupHandshake to the bar with its window handle in
// lParam. The bar sends each text as WM_COPYDATA (wParam = bar window, data =
// GBK text with its terminating zero, dwData 0) and codes as kPopupCode
// (wParam = bar window, lParam = code). While unread texts wait the popup posts
// kPopupAnimOn to the bar, and kPopupAnimOff once none wait any more.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tempora {

class TIniFile;

inline constexpr unsigned kPopupHandshake = 1212;  // popup -> bar, lParam = popup window
inline constexpr unsigned kPopupCode = 1213;       // bar -> popup, lParam = one of the codes
inline constexpr unsigned kPopupAnimOn = 1214;     // popup -> bar: tray animation on
inline constexpr unsigned kPopupAnimOff = 1215;    // popup -> bar: tray animation off

inline constexpr int kPopupCodeSettings = 1;  // skin.ini was rewritten: read MSG again
inline constexpr int kPopupCodeClosing = 2;   // the main program closes: exit

// The biggest WM_COPYDATA block the popup takes, terminating zero included.
inline constexpr size_t kPopupMaxBlock = 64 * 1024;

inline constexpr wchar_t kPopupClassName[] = L"TemporaPopupMsg";
inline constexpr char kPopupProgram[] = "PopupMsg.exe";

// The WM_COPYDATA block for a text: its GBK bytes up to its first zero byte,
// cut at a character boundary so that the block fits kPopupMaxBlock, then the
// terminating zero.
std::string PopupTextBlock(std::string_view utf8);

// The popup's check of a WM_COPYDATA block: 1 to kPopupMaxBlock bytes whose
// last byte is zero. On success `utf8Out` is the text up to the first zero,
// converted from GBK; otherwise it is empty and the block must be ignored.
bool AcceptPopupText(const void* data, size_t size, std::string& utf8Out);

// The popup's one argument: a window handle in decimal digits only, not zero.
bool ParseWindowHandleArg(std::string_view text, uint64_t& handle);

// The MSG keys of skin.ini that the popup reads itself, through the table of
// keys that the bar and the options dialog read: a value outside the range
// the dialog offers reads as the key's default.
struct TPopupSettings {
    bool Auto = true;  // close by itself after AutoSec seconds, else by hand
    int AutoSec = 5;   // 5..3600
    int Tran = 200;    // alpha, 55..255
};
TPopupSettings ReadPopupSettings(const TIniFile& ini);

}  // namespace tempora
