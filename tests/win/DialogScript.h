// Driving modal dialogs from a test: a script of steps run one after another
// from whatever message loop runs, each waiting until its window shows and
// then acting on it as the user would.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <utility>
#include <vector>

namespace tempora::test {

// Acts post what opens another modal loop, so that no step runs inside another.
struct Step {
    std::function<HWND()> find;
    std::function<void(HWND)> act;
};

inline std::deque<Step>& ScriptSteps() {
    static std::deque<Step> steps;
    return steps;
}

inline void CALLBACK ScriptStepProc(HWND, UINT, UINT_PTR, DWORD) {
    std::deque<Step>& steps = ScriptSteps();
    if (steps.empty())
        return;
    const HWND w = steps.front().find();
    if (!w || !IsWindowVisible(w))
        return;
    const Step step = std::move(steps.front());
    steps.pop_front();
    step.act(w);
}

class Script {
public:
    explicit Script(std::vector<Step> steps) {
        ScriptSteps().assign(steps.begin(), steps.end());
        timer_ = SetTimer(nullptr, 0, 20, ScriptStepProc);
    }
    ~Script() {
        KillTimer(nullptr, timer_);
        ScriptSteps().clear();
    }
    Script(const Script&) = delete;
    Script& operator=(const Script&) = delete;
    // Steps that never found their window.
    size_t Left() const { return ScriptSteps().size(); }

private:
    UINT_PTR timer_;
};

// This thread's window of a class, while no message box is over it.
inline std::function<HWND()> Dialog(const wchar_t* cls) {
    return [cls] {
        const HWND w = FindWindowW(cls, nullptr);
        return w && IsWindowEnabled(w) ? w : nullptr;
    };
}
// A message box by its caption.
inline std::function<HWND()> Box(const wchar_t* caption) {
    return [caption] { return FindWindowW(L"#32770", caption); };
}

// Clicks button `id` of the dialog.
inline void Press(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}
// Selects item `index` of a combo box as the user does.
inline void Choose(HWND dialog, int id, int index) {
    const HWND combo = GetDlgItem(dialog, id);
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
}

}  // namespace tempora::test
