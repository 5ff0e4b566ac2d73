// The soft drop shadow of a borderless window: a click-through, never
// activated layered window right behind its owner, 16 px larger on every
// side at 100 % (more at the owner's scale), showing a blurred silhouette of
// the owner's visible shape.
#pragma once

#include "display/ShadowPicture.h"
#include "win/Window_win.h"

#include <windows.h>

#include <functional>

namespace tempora {

class TFormShadow : public TWindow {
public:
    // The owner's client area as it shows, for an owner with a see-through
    // colour (LWA_COLORKEY); null when there is none to give.
    using ClientPicture = std::function<const Bitmap*()>;

    TFormShadow() = default;
    ~TFormShadow() override;

    // Follows `owner` from now on (nullptr: none). The owner's messages pass
    // through the shadow: after the owner has handled a position change the
    // shadow moves, shows, hides or rebuilds with it, and the owner's
    // WM_SHOWWINDOW sets Shown. The previous owner gets its own message
    // handling back. The picture is rebuilt and the shadow realigned.
    void Attach(HWND owner, ClientPicture clientPicture = {});
    HWND Owner() const { return owner_; }

    // Whether the shadow may show: it shows while this holds and the owner
    // is neither minimised nor maximised. Attach starts it from the owner's
    // visibility. A change realigns the shadow.
    void SetShown(bool shown);
    bool Shown() const { return shown_; }

    // Rebuilds the picture and realigns: after the owner changed its alpha,
    // its look, or opened.
    void UpdateShadow();

    // Makes the owner go through its position change messages without
    // moving, so that the shadow follows its state.
    void Realign();

    // How often the picture was built, and the owner's alpha it was last
    // shown with (the layered window's constant alpha).
    int Rebuilds() const { return rebuilds_; }
    BYTE SourceAlpha() const { return sourceAlpha_; }
    const Bitmap& Strength() const { return picture_.Strength(); }

private:
    static LRESULT CALLBACK OwnerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                      DWORD_PTR self);
    void Detach();
    bool EnsureWindow();
    void AfterPosChanging(const WINDOWPOS& pos);
    void AfterPosChanged(const WINDOWPOS& pos);
    void RebuildShadow();
    void PushLayered();

    HWND owner_ = nullptr;
    ClientPicture clientPicture_;
    bool shown_ = false;
    TShadowPicture picture_;
    int rebuilds_ = 0;
    BYTE sourceAlpha_ = 255;
};

}  // namespace tempora
