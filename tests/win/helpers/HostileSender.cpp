// Sends random messages, from a process of its own, to every window (top-level
// and child) of the given processes, for the hostile-messages test:
//   HostileSender.exe SECONDS SEED BAR_HWND PID...
// The messages: WM_COPYDATA of 0 to 64 KiB (random bytes or GBK text, dwData
// random, 0 or 0x401, wParam random or the bar), 1212-1215 and 0x401-0x403
// with random parameters, WM_USER+n with random n and parameters, WM_TIMER
// with random ids. Messages that end or hide a program by design (WM_CLOSE,
// WM_QUIT, WM_DESTROY, WM_ENDSESSION, WM_QUERYENDSESSION, WM_SYSCOMMAND, menu
// commands, and the popup's exit code 2 from its bar) are never sent.
//
// Windows of the system's classes (common controls, tooltips, IME windows)
// get only WM_COPYDATA, WM_TIMER and 1212-1215: their own WM_USER messages
// carry pointers by design, and a random one crashes the system's code, not
// ours. WM_TIMER always has lParam 0, which a timer message reserves for a
// timer procedure to call.
//
// Prints one line of counts; the exit code is the number of sends that timed
// out (a window that did not answer within 5 s).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

struct Target {
    HWND hwnd;
    bool ours;  // a class the programs registered themselves
};

struct Finder {
    std::vector<DWORD> pids;
    std::vector<Target> found;
};

// The programs name their classes in the style "TFrmLED", "TLunarCalCtrl",
// "TemporaPopupMsg"; no system class is named so.
bool IsOurs(HWND w) {
    wchar_t cls[64] = {};
    GetClassNameW(w, cls, 64);
    return cls[0] == L'T' &&
           ((cls[1] >= L'A' && cls[1] <= L'Z') || std::wcsncmp(cls, L"Tempora", 7) == 0);
}

BOOL CALLBACK AddChild(HWND w, LPARAM lp) {
    reinterpret_cast<Finder*>(lp)->found.push_back({w, IsOurs(w)});
    return TRUE;
}

BOOL CALLBACK AddTop(HWND w, LPARAM lp) {
    auto* f = reinterpret_cast<Finder*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (std::find(f->pids.begin(), f->pids.end(), pid) == f->pids.end())
        return TRUE;
    f->found.push_back({w, IsOurs(w)});
    EnumChildWindows(w, AddChild, lp);
    return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 5)
        return -1;
    const DWORD seconds = static_cast<DWORD>(std::wcstoul(argv[1], nullptr, 10));
    std::mt19937 random(static_cast<unsigned>(std::wcstoul(argv[2], nullptr, 10)));
    const auto bar =
        reinterpret_cast<HWND>(static_cast<uintptr_t>(std::wcstoull(argv[3], nullptr, 10)));
    Finder finder;
    for (int i = 4; i < argc; ++i)
        finder.pids.push_back(static_cast<DWORD>(std::wcstoul(argv[i], nullptr, 10)));

    const auto any = [&](uint64_t below) {
        return std::uniform_int_distribution<uint64_t>(0, below - 1)(random);
    };
    const auto anyParam = [&]() -> uintptr_t {
        switch (any(4)) {
            case 0:
                return 0;
            case 1:
                return any(16);
            case 2:
                return static_cast<uintptr_t>(random());
            default:
                return static_cast<uintptr_t>((uint64_t{random()} << 32) | random());
        }
    };

    long copies = 0, programMessages = 0, userMessages = 0, timers = 0, timeouts = 0;
    std::vector<char> block;
    const ULONGLONG end = GetTickCount64() + seconds * 1000ull;
    ULONGLONG nextScan = 0;
    while (GetTickCount64() < end) {
        // The windows come and go (views open and close): look again now and then.
        if (GetTickCount64() >= nextScan) {
            finder.found.clear();
            EnumWindows(AddTop, reinterpret_cast<LPARAM>(&finder));
            // Message-only windows are not listed among the top-level ones.
            for (HWND w = nullptr; (w = FindWindowExW(HWND_MESSAGE, w, nullptr, nullptr));)
                AddTop(w, reinterpret_cast<LPARAM>(&finder));
            nextScan = GetTickCount64() + 250;
        }
        if (finder.found.empty())
            break;
        const Target target = finder.found[any(finder.found.size())];
        if (!IsWindow(target.hwnd))
            continue;
        UINT msg;
        WPARAM wp = anyParam();
        LPARAM lp = static_cast<LPARAM>(anyParam());
        COPYDATASTRUCT data{};
        const int kind = static_cast<int>(any(target.ours ? 4 : 3));
        if (kind == 0) {
            msg = WM_COPYDATA;
            // Sizes spread over every scale: 0, a few bytes, up to 64 KiB.
            const size_t size = any(3) == 0 ? any(17) : any(size_t{1} << (1 + any(16))) + 1;
            block.resize(std::max<size_t>(size, 1));
            if (any(2)) {
                for (char& c : block)
                    c = static_cast<char>(random());
            } else {
                // GBK text, usually ended by its zero byte.
                static const char kText[] = "\xb2\xe2\xca\xd4 hostile text \xc4\xfa\xba\xc3 ";
                for (size_t i = 0; i < block.size(); ++i)
                    block[i] = kText[i % (sizeof kText - 1)];
                if (any(4))
                    block.back() = 0;
            }
            const uint64_t kinds[] = {0, 0x401, static_cast<uint64_t>(anyParam())};
            data.dwData = static_cast<ULONG_PTR>(kinds[any(3)]);
            data.cbData = static_cast<DWORD>(size);
            data.lpData = size || any(2) ? block.data() : nullptr;
            // Now and then no block at all.
            lp = any(16) ? reinterpret_cast<LPARAM>(&data) : 0;
            if (any(2))
                wp = reinterpret_cast<WPARAM>(bar);
            ++copies;
        } else if (kind == 1) {
            msg = WM_TIMER;
            wp = any(2) ? any(64) : anyParam();
            lp = 0;
            ++timers;
        } else if (kind == 2) {
            msg = 1212 + static_cast<UINT>(any(4));
            if (any(2))
                wp = reinterpret_cast<WPARAM>(bar);
            // The popup's code 2 from its bar is its order to exit.
            if (msg == 1213 && wp == reinterpret_cast<WPARAM>(bar) && lp == 2)
                lp = 1;
            ++programMessages;
        } else if (any(2)) {
            msg = 0x401 + static_cast<UINT>(any(3));
            ++programMessages;
        } else {
            msg = WM_USER + static_cast<UINT>(any(0x8000 - WM_USER));
            ++userMessages;
        }
        if (msg != WM_COPYDATA && any(3) == 0) {
            PostMessageW(target.hwnd, msg, wp, lp);
            continue;
        }
        DWORD_PTR answer = 0;
        if (!SendMessageTimeoutW(target.hwnd, msg, wp, lp, SMTO_NORMAL, 5000, &answer) &&
            GetLastError() == ERROR_TIMEOUT) {
            ++timeouts;
            wchar_t cls[64] = {};
            GetClassNameW(target.hwnd, cls, 64);
            std::printf("timeout: window %p class %ls message 0x%x wParam 0x%llx lParam 0x%llx\n",
                        static_cast<void*>(target.hwnd), cls, msg,
                        static_cast<unsigned long long>(wp), static_cast<unsigned long long>(lp));
        }
    }
    std::set<std::wstring> classes;
    for (const Target& t : finder.found) {
        wchar_t cls[64] = {};
        GetClassNameW(t.hwnd, cls, 64);
        classes.insert(cls);
    }
    std::printf("[ hostile ] window classes:");
    for (const std::wstring& cls : classes)
        std::printf(" %ls", cls.c_str());
    std::printf("\n");
    std::printf(
        "[ hostile ] %lu s: %ld WM_COPYDATA, %ld program messages, %ld WM_USER+n, "
        "%ld WM_TIMER, %ld timeouts, %zu windows\n",
        static_cast<unsigned long>(seconds), copies, programMessages, userMessages, timers,
        timeouts, finder.found.size());
    std::fflush(stdout);
    return static_cast<int>(timeouts);
}
