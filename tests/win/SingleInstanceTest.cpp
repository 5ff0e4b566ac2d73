// One instance per session: the shared block in-process, then the real
// Tempora.exe started twice from a folder of its own.
#include "app/RunOnce_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <thread>

namespace fs = std::filesystem;

namespace {

struct Process {
    PROCESS_INFORMATION pi{};
    bool Start(const std::wstring& exe, const std::wstring& folder) {
        STARTUPINFOW si{};
        si.cb = sizeof si;
        std::wstring cmd = L"\"" + exe + L"\"";
        return CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              folder.c_str(), &si, &pi) != FALSE;
    }
    ~Process() {
        if (pi.hProcess) {
            if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT)
                TerminateProcess(pi.hProcess, 9);
            CloseHandle(pi.hProcess);
            CloseHandle(pi.hThread);
        }
    }
};

HWND BarOf(DWORD pid) {
    struct Find {
        DWORD pid;
        HWND found;
    } find{pid, nullptr};
    EnumWindows(
        [](HWND w, LPARAM lp) -> BOOL {
            auto* f = reinterpret_cast<Find*>(lp);
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            wchar_t cls[32] = {};
            GetClassNameW(w, cls, 32);
            if (owner == f->pid && lstrcmpW(cls, L"TFrmLED") == 0) {
                f->found = w;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&find));
    return find.found;
}

HWND WaitForVisibleBar(DWORD pid) {
    for (int i = 0; i < 200; ++i) {
        HWND bar = BarOf(pid);
        if (bar && IsWindowVisible(bar))
            return bar;
        Sleep(50);
    }
    return nullptr;
}

}  // namespace

// Two starts at the same moment: both have made the block before either
// stored its window. Exactly one is the first, and the other, although it
// asks before the first has stored its window, leaves and restores it.
TEST(SingleInstance, OfTwoStartsAtTheSameMomentOneRuns) {
    const auto makeWindow = [] {
        return CreateWindowExW(0, L"STATIC", L"bar", WS_OVERLAPPEDWINDOW, 0, 0, 100, 50, nullptr,
                               nullptr, nullptr, nullptr);
    };
    const HWND firstBar = makeWindow();
    const HWND secondBar = makeWindow();
    ASSERT_TRUE(firstBar && secondBar);
    ShowWindow(firstBar, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(firstBar));
    {
        tempora::TRunOnce first;
        tempora::TRunOnce second;
        bool firstLeft = true;
        std::thread late([&] {
            Sleep(300);
            firstLeft = first.CheckPrevInstance(firstBar);
        });
        EXPECT_TRUE(second.CheckPrevInstance(secondBar));
        late.join();
        EXPECT_FALSE(firstLeft);
        EXPECT_FALSE(IsIconic(firstBar)) << "the first was not asked to restore itself";
    }
    // With both gone the block is gone too: the next start is a first one.
    {
        tempora::TRunOnce next;
        EXPECT_FALSE(next.CheckPrevInstance(secondBar));
    }
    DestroyWindow(firstBar);
    DestroyWindow(secondBar);
}

TEST(SingleInstance, SecondStartRestoresTheFirstAndLeaves) {
    const fs::path folder = fs::temp_directory_path() / "tempora-single-instance";
    fs::remove_all(folder);
    fs::create_directories(folder);
    fs::copy_file("Tempora.exe", folder / "Tempora.exe");
    const std::wstring exe = (folder / "Tempora.exe").wstring();

    Process first;
    ASSERT_TRUE(first.Start(exe, folder.wstring()));
    const HWND bar = WaitForVisibleBar(first.pi.dwProcessId);
    ASSERT_NE(bar, nullptr);
    ShowWindow(bar, SW_HIDE);  // as if hidden to the tray
    ASSERT_FALSE(IsWindowVisible(bar));

    Process second;
    ASSERT_TRUE(second.Start(exe, folder.wstring()));
    ASSERT_EQ(WaitForSingleObject(second.pi.hProcess, 20000), WAIT_OBJECT_0);
    DWORD code = 99;
    GetExitCodeProcess(second.pi.hProcess, &code);
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(IsWindowVisible(bar));

    PostMessageW(bar, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(first.pi.hProcess, 20000), WAIT_OBJECT_0);
    // The close wrote the bar's state into the instance's own data folder.
    EXPECT_TRUE(fs::exists(folder / "skin.ini"));
    std::error_code ec;
    fs::remove_all(folder, ec);
}
