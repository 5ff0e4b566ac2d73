// Hostile messages: another process sends random messages to every window
// of a running Tempora.exe and PopupMsg.exe (see helpers/HostileSender.cpp
// for what it sends and what it leaves out); both keep running, answer
// afterwards and keep their data. TEMPORA_HOSTILE_SECONDS sets how long the
// messages come in all (default 15 s).
#include "AppFixture.h"
#include "app/ClockApp_win.h"
#include "core/FileSys.h"
#include "core/IniFile.h"
#include "core/LineFile.h"
#include "reminders/PopupProtocol.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

namespace fs = std::filesystem;

namespace {

struct Process {
    PROCESS_INFORMATION pi{};
    bool Start(const std::wstring& exe, const std::wstring& args, const std::wstring& folder) {
        STARTUPINFOW si{};
        si.cb = sizeof si;
        std::wstring cmd = L"\"" + exe + L"\" " + args;
        return CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              folder.c_str(), &si, &pi) != FALSE;
    }
    bool Running() const { return WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT; }
    ~Process() {
        if (pi.hProcess) {
            if (Running())
                TerminateProcess(pi.hProcess, 9);
            WaitForSingleObject(pi.hProcess, 10000);
            CloseHandle(pi.hProcess);
            CloseHandle(pi.hThread);
        }
    }
};

HWND WindowOf(DWORD pid, const wchar_t* className) {
    struct Find {
        DWORD pid;
        const wchar_t* cls;
        HWND found;
    } find{pid, className, nullptr};
    EnumWindows(
        [](HWND w, LPARAM lp) -> BOOL {
            auto* f = reinterpret_cast<Find*>(lp);
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            wchar_t cls[64] = {};
            GetClassNameW(w, cls, 64);
            if (owner == f->pid && lstrcmpW(cls, f->cls) == 0) {
                f->found = w;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&find));
    return find.found;
}

HWND WaitForWindow(DWORD pid, const wchar_t* className) {
    for (int i = 0; i < 400; ++i) {
        if (HWND w = WindowOf(pid, className))
            return w;
        Sleep(50);
    }
    return nullptr;
}

std::string ReadAll(const fs::path& path) {
    std::string bytes;
    tempora::ReadFileBytes(path.string(), bytes);
    return bytes;
}

bool Answers(HWND w) {
    DWORD_PTR answer = 0;
    return SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer) != 0;
}

}  // namespace

// Run once with each view the bar can open at start-up ([BAR] DefWin): the
// clock view (with the calendar made beside it) and the weather view.
class HostileMessages : public testing::TestWithParam<int> {};

TEST_P(HostileMessages, BothProgramsKeepRunningAndKeepTheirData) {
    const fs::path folder = fs::temp_directory_path() / "tempora-hostile";
    fs::remove_all(folder);
    const fs::path data = fs::path(TEMPORA_SOURCE_DIR) / "data";
    fs::copy(data, folder, fs::copy_options::recursive);
    // No time server: a random timer message must not reach beyond this machine.
    fs::remove(folder / "TimeHost.lst");
    fs::copy_file("Tempora.exe", folder / "Tempora.exe");
    fs::copy_file("PopupMsg.exe", folder / "PopupMsg.exe");
    // A task and a mark, so that there is data of the user's to keep.
    ASSERT_TRUE(tempora::WriteLineFile((folder / "War.lst").string(),
                                       {"*02030年01月01日08时00分", "3消息 (hello)"}));
    ASSERT_TRUE(tempora::WriteLineFile((folder / "Marks.rec").string(), {"00501=劳动节"}));
    tempora::TIniFile((folder / "skin.ini").string()).WriteInteger("BAR", "DefWin", GetParam());
    const std::string skinBefore = ReadAll(folder / "skin.ini");
    const std::string warBefore = ReadAll(folder / "War.lst");
    const std::string marksBefore = ReadAll(folder / "Marks.rec");

    Process clock;
    ASSERT_TRUE(clock.Start((folder / "Tempora.exe").wstring(), L"", folder.wstring()));
    const HWND bar = WaitForWindow(clock.pi.dwProcessId, L"TFrmLED");
    ASSERT_NE(bar, nullptr);
    Process popup;
    ASSERT_TRUE(popup.Start((folder / "PopupMsg.exe").wstring(),
                            std::to_wstring(reinterpret_cast<uintptr_t>(bar)), folder.wstring()));
    ASSERT_NE(WaitForWindow(popup.pi.dwProcessId, tempora::kPopupClassName), nullptr);
    Sleep(1000);  // the view the bar opens after its start

    const char* secondsVar = std::getenv("TEMPORA_HOSTILE_SECONDS");
    // The time is shared between the runs.
    const std::wstring seconds = std::to_wstring((secondsVar ? std::atoi(secondsVar) : 15) / 2);
    const unsigned seed = std::random_device{}();
    std::printf("[ hostile ] seed %u\n", seed);
    std::fflush(stdout);
    Process sender;
    ASSERT_TRUE(sender.Start(fs::absolute("HostileSender.exe").wstring(),
                             seconds + L" " + std::to_wstring(seed) + L" " +
                                 std::to_wstring(reinterpret_cast<uintptr_t>(bar)) + L" " +
                                 std::to_wstring(clock.pi.dwProcessId) + L" " +
                                 std::to_wstring(popup.pi.dwProcessId),
                             fs::current_path().wstring()));
    ASSERT_EQ(WaitForSingleObject(sender.pi.hProcess, (std::stoul(seconds) + 120) * 1000),
              WAIT_OBJECT_0);
    DWORD timeouts = 99;
    GetExitCodeProcess(sender.pi.hProcess, &timeouts);
    EXPECT_EQ(timeouts, 0u) << "windows that did not answer within 5 s (seed " << seed << ")";

    ASSERT_TRUE(clock.Running()) << "Tempora.exe ended (seed " << seed << ")";
    ASSERT_TRUE(popup.Running()) << "PopupMsg.exe ended (seed " << seed << ")";
    EXPECT_TRUE(Answers(bar));
    const HWND popupWindow = WindowOf(popup.pi.dwProcessId, tempora::kPopupClassName);
    ASSERT_NE(popupWindow, nullptr);
    EXPECT_TRUE(Answers(popupWindow));
    // The popup still takes a text from its bar.
    const std::string text = tempora::PopupTextBlock("still here");
    COPYDATASTRUCT block{0, static_cast<DWORD>(text.size()), const_cast<char*>(text.data())};
    DWORD_PTR accepted = 0;
    EXPECT_TRUE(SendMessageTimeoutW(popupWindow, WM_COPYDATA, reinterpret_cast<WPARAM>(bar),
                                    reinterpret_cast<LPARAM>(&block), SMTO_NORMAL, 5000,
                                    &accepted));
    EXPECT_EQ(accepted, static_cast<DWORD_PTR>(TRUE));

    // Closed the ordinary way, the bar saves its state and both programs end.
    PostMessageW(bar, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(clock.pi.hProcess, 20000), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(popup.pi.hProcess, 20000), WAIT_OBJECT_0);

    EXPECT_EQ(ReadAll(folder / "War.lst"), warBefore);
    EXPECT_EQ(ReadAll(folder / "Marks.rec"), marksBefore);
    // skin.ini gains the bar's place on closing; what it held stays.
    const tempora::TIniFile before(folder.string() + "\\skin-before.ini", skinBefore);
    const tempora::TIniFile after((folder / "skin.ini").string());
    for (const char* key : {"SkinFile", "WinFile", "ClockFile"})
        EXPECT_EQ(after.ReadString("SKIN", key, "?"), before.ReadString("SKIN", key, "!")) << key;
    EXPECT_EQ(after.ReadInteger("BAR", "DefWin", -1), GetParam());
    for (const auto& entry : fs::directory_iterator(folder))
        EXPECT_NE(entry.path().extension(), ".tmp~") << entry.path().filename();
}

INSTANTIATE_TEST_SUITE_P(StartUpViews, HostileMessages, testing::Values(1, 3),
                         [](const testing::TestParamInfo<int>& run) {
                             return run.param == 1 ? std::string("ClockView")
                                                   : std::string("WeatherView");
                         });

// A WM_COPYDATA without its block (lParam 0) is refused, not read.
TEST(HostileMessagesInProcess, CopyDataWithoutABlockIsRefused) {
    const tempora::test::TempDataDir folder("tempora-hostile-");
    tempora::test::AppRun run;
    tempora::AppOptions options;
    options.programDir = options.dataDir = folder.Dir();
    tempora::TClockApp& app = run.Start(options, false);
    EXPECT_EQ(SendMessageW(app.Bar().Handle(), WM_COPYDATA, 0, 0), FALSE);
    EXPECT_TRUE(IsWindow(app.Bar().Handle()));
}
