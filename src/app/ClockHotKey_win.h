// A hotkey of the bar (the one that speaks the time, the one that speaks the
// day), registered for the bar's window under a global atom of its own so
// that its id is unique across the session.
#pragma once

#include <windows.h>

#include <string>

namespace tempora {

class TClockHotKey {
public:
    static constexpr wchar_t kTimeAtom[] = L"TemporaDefineHotKey";
    static constexpr wchar_t kDayAtom[] = L"TemporaDayHotKey";

    explicit TClockHotKey(HWND owner, const wchar_t* atomName = kTimeAtom)
        : owner_(owner), atomName_(atomName) {}
    TClockHotKey(const TClockHotKey&) = delete;
    TClockHotKey& operator=(const TClockHotKey&) = delete;
    ~TClockHotKey() { Unregister(); }

    // From the texts of skin.ini ("Ctrl + Shift", "T"); false, and no hotkey,
    // when a text is not understood or the system refuses the combination.
    bool Register(const std::string& modifierText, const std::string& keyText);
    void Unregister();
    // Whether a WM_HOTKEY's lParam is this hotkey: matched by modifiers and
    // key, since another program's hotkey may share the id.
    bool Matches(LPARAM lp) const;

    int Id() const { return id_; }
    int Modifiers() const { return mods_; }
    int Key() const { return key_; }

private:
    HWND owner_;
    const wchar_t* atomName_;
    int id_ = 0, mods_ = 0, key_ = 0;
};

}  // namespace tempora
