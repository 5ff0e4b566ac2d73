// Entry point of Tempora.exe: one instance per user session, then the bar.
#include "win/DataDir_win.h"
#include "app/RunOnce_win.h"
#include "app/ClockApp_win.h"
#include "core/Encoding.h"
#include "win/Dpi_win.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

namespace {

// The first argument, and the file after "/trace-ticks" (a diagnostic switch
// that is in no menu: it appends one line per clock tick).
void ParseCommandLine(tempora::AppOptions& options) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv)
        return;
    if (argc > 1)
        options.firstArgument = tempora::WideToUtf8(argv[1]);
    for (int i = 1; i + 1 < argc; ++i) {
        if (lstrcmpiW(argv[i], L"/trace-ticks") == 0) {
            options.traceTicksFile = tempora::WideToUtf8(argv[i + 1]);
        }
    }
    LocalFree(argv);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // The manifest asks for it; a system that ignored the manifest is asked here.
    tempora::EnableDpiAwareness();
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);

    tempora::TRunOnce runOnce;
    tempora::AppOptions options;
    options.programDir = tempora::ProgramDir();
    options.dataDir = tempora::ResolveDataDir(options.programDir);
    ParseCommandLine(options);

    tempora::TClockApp app(std::move(options));
    if (!app.CreateHidden())
        return 1;
    // A second instance restores the first and leaves without showing anything.
    if (runOnce.CheckPrevInstance(app.Bar().Handle()))
        return 0;
    app.Initialise();
    app.Show();

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
