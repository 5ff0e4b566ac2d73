// Another program that speaks to the bar, for the tests: hands it an upgrade
// text the ways an outside checker might.
//   SendUpgradeText.exe BAR_HWND message WPARAM   kUpgradeTextMessage with a pointer into
//                                                 this process
//   SendUpgradeText.exe BAR_HWND copydata         the text by WM_COPYDATA (GBK)
//   SendUpgradeText.exe BAR_HWND oversize         a block beyond the size the bar reads
// The exit code is the bar's answer.
#include <windows.h>

#include <cwchar>
#include <string>

int wmain(int argc, wchar_t** argv) {
    if (argc < 3)
        return -1;
    const auto bar = reinterpret_cast<HWND>(static_cast<uintptr_t>(wcstoull(argv[1], nullptr, 10)));
    const std::wstring mode = argv[2];
    // "新版本 3.7.8" in GBK, then two more lines.
    static const char text[] =
        "\xd0\xc2\xb0\xe6\xb1\xbe 3.7.8\r\nwhat is new\r\nhttp://127.0.0.1/\r\n";
    LRESULT answer = 0;
    if (mode == L"message") {
        const WPARAM key = argc > 3 ? static_cast<WPARAM>(wcstoull(argv[3], nullptr, 10)) : 0;
        answer = SendMessageW(bar, 0x401, key, reinterpret_cast<LPARAM>(text));
    } else if (mode == L"copydata" || mode == L"oversize") {
        std::string block(text, sizeof text);
        if (mode == L"oversize")
            block.insert(0, std::string(8192, '\n'));
        COPYDATASTRUCT data{0x401, static_cast<DWORD>(block.size()), block.data()};
        answer = SendMessageW(bar, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    }
    return static_cast<int>(answer);
}
