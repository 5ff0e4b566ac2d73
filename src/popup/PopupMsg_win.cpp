// Entry point of PopupMsg.exe, the popup program the bar starts as
//     PopupMsg.exe <bar window handle in decimal>
// It serves that bar until told to close or until the bar is gone, and does
// nothing when started without a live bar window.
//
// For looking at the popup without a bar:
//     PopupMsg.exe /demo TEXT...
// shows each TEXT in turn (the two characters \n stand for a line break),
// closed by hand; the program ends with the last one.
#include "popup/UnitPopupMsg_win.h"

#include "core/Encoding.h"
#include "core/IniFile.h"
#include "core/SettingKeys.h"
#include "core/Text.h"
#include "display/MyWindow_win.h"
#include "reminders/PopupProtocol.h"

#include "win/DataDir_win.h"
#include "win/Dpi_win.h"

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

namespace {
std::string DemoText(const std::wstring& arg) {
    std::wstring text;
    for (size_t i = 0; i < arg.size(); ++i) {
        if (arg[i] == L'\\' && i + 1 < arg.size() && arg[i + 1] == L'n') {
            text += L"\r\n";
            ++i;
        } else {
            text += arg[i];
        }
    }
    return tempora::WideToUtf8(text);
}
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    tempora::EnableDpiAwareness();
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv)
        return 1;
    std::vector<std::wstring> args(argv + 1, argv + argc);
    LocalFree(argv);

    HWND bar = nullptr;
    std::vector<std::string> demoTexts;
    const bool demo =
        args.size() >= 2 && tempora::EqualsNoCase(tempora::WideToUtf8(args[0]), "/demo");
    if (demo) {
        for (size_t i = 1; i < args.size(); ++i)
            demoTexts.push_back(DemoText(args[i]));
    } else {
        uint64_t handle = 0;
        if (args.size() != 1 ||
            !tempora::ParseWindowHandleArg(tempora::WideToUtf8(args[0]), handle))
            return 1;
        bar = reinterpret_cast<HWND>(static_cast<uintptr_t>(handle));
        if (!IsWindow(bar))
            return 1;
    }

    tempora::TFrmPopupMsg popup;
    // The same data folder as the clock's: the program's own, or the user's
    // copy when the program's folder cannot be written.
    const std::string dataDir = tempora::ResolveDataDir(tempora::ProgramDir());
    // The dialog frame the clock's skin names, as the clock's dialogs wear it.
    const std::string settingsFile = dataDir + tempora::kSettingsFile;
    tempora::InstallDialogFrame(
        dataDir, tempora::ReadText(tempora::TIniFile(settingsFile), tempora::setting::WinFile));
    if (!popup.Create(bar, settingsFile, demo))
        return 1;
    for (const std::string& text : demoTexts)
        popup.AddText(text);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
