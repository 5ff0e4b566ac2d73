// TFrmClock: the analog clock view beside the bar. A borderless layered
// window shaped by its face's magenta, showing a TClockFace; the left button
// drags it anywhere on the face, the right button asks the owner for the
// pop-up menu. A docked view made anew for each opening: closing destroys
// its window.
#pragma once

#include "display/SupFun.h"
#include "display/UnitClock.h"
#include "display/DockedView_win.h"

#include <windows.h>

#include <functional>
#include <string>

namespace tempora {

class TFrmClock : public TDockedView {
public:
    static constexpr wchar_t kClassName[] = L"TFrmClock";

    // `dataDir` holds skin.ini and the Clock folder, ending in the folder
    // separator; `barMenu` is the bar's menu colours, which the clock's menu
    // takes whenever a style is read. It outlives the window.
    TFrmClock(std::string dataDir, const TSkinMenu& barMenu);
    ~TFrmClock() override;

    // Creates the window hidden, owned by `owner`, with its shadow.
    bool Create(HWND owner);

    // The clock's style reader on the package at `path`. In full mode an
    // accepted style replaces the face, the hands and the cap and gives the
    // window the face's size; in either mode an accepted package brings the
    // bar's menu colours. Anything refused leaves the window as it was.
    TSkinResult LoadStyle(const std::string& path, bool menuOnly);
    // LoadStyle on the style skin.ini names (SKIN/ClockFile in the Clock folder).
    TSkinResult ReloadStyle(bool menuOnly);

    // Loads the style at `stylePath` or, when that does not read, the first
    // of its folder that does; then, opaque, puts the left edge at `left`
    // (the right edge at `rightAnchor` when left is negative and the anchor
    // is not) and the top edge at `top` (likewise the bottom edge at
    // `bottomAnchor`), sets the hands for now, shows the window and gives it
    // `opacity`. False, the window staying hidden, when no style reads.
    bool OpenAt(const std::string& stylePath, int opacity, int left, int top, int rightAnchor,
                int bottomAnchor);

    // Turns the hands to `t`; what moved goes to the screen at once while
    // the window shows.
    void SetHands(TDateTime t);

    const TClockFace& Face() const { return face_; }
    const TSkinMenu& MenuColors() const { return menu_; }

    // The right button was released at this screen point.
    std::function<void(POINT screenAt)> OnPopupMenu;

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void Apply(const TClockSkin& skin);
    void Push(TSkinRect area);

    std::string dataDir_;
    const TSkinMenu& barMenu_;
    TSkinMenu menu_;
    TClockFace face_;
};

}  // namespace tempora
