#include "app/ClockHotKey_win.h"

#include "app/HotKey.h"

namespace tempora {

bool TClockHotKey::Register(const std::string& modifierText, const std::string& keyText) {
    Unregister();
    const int mods = HotKeyModifiers(modifierText);
    const int key = HotKeyVirtualKey(keyText);
    if (mods < 0 || key == 0)
        return false;
    const ATOM atom = GlobalAddAtomW(atomName_);
    const int id = atom - 0xC000;
    if (atom == 0 || id <= 0)
        return false;
    if (!RegisterHotKey(owner_, id, static_cast<UINT>(mods), static_cast<UINT>(key))) {
        GlobalDeleteAtom(atom);
        return false;
    }
    id_ = id;
    mods_ = mods;
    key_ = key;
    return true;
}

void TClockHotKey::Unregister() {
    if (id_ > 0) {
        UnregisterHotKey(owner_, id_);
        GlobalDeleteAtom(static_cast<ATOM>(id_ + 0xC000));
    }
    id_ = 0;
}

bool TClockHotKey::Matches(LPARAM lp) const {
    return id_ > 0 && HIWORD(lp) == key_ && LOWORD(lp) == mods_;
}

}  // namespace tempora
