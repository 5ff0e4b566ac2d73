// The popup window of PopupMsg.exe: a topmost note above the notification
// area that shows the texts the bar sends, one after another.
#pragma once

#include "display/ufrmShadowFrame_win.h"
#include "core/Handles_win.h"
#include "core/Scale.h"
#include "win/Window_win.h"
#include "reminders/PopupProtocol.h"

#include <deque>
#include <string>

namespace tempora {

class TFrmPopupMsg : public TWindow {
public:
    // `bar` is the window the popup serves and reports to; nullptr for a demo
    // run, which has no bar, closes its texts only by hand and ends with the
    // last one. `iniPath` is the skin.ini that holds the MSG settings.
    bool Create(HWND bar, std::string iniPath, bool demo);
    // Queues a text and shows it when none is showing. False when the queue
    // already holds so much text that taking more would risk memory.
    bool AddText(const std::string& utf8);

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    // Far beyond what a person lets pile up, and small enough to be harmless.
    static constexpr size_t kMaxQueuedChars = 8u << 20;

    void ReadSettings();
    void ShowCurrent();
    void Dismiss();
    void Layout();
    void PickColors();
    void SetAnimation(bool on);
    void CountdownTick();
    void OnMouseMove(int x, int y);
    void Scroll(int delta);
    int S(int v) const { return scale_.Px(v); }
    // The text font at the popup's scale.
    void MakeTextFont();
    // The whole look, drawn into the back buffer over the dialog frame.
    void PaintPopup(HDC dc, const RECT& client) const;
    void OnPaint();

    HWND bar_ = nullptr;
    std::string iniPath_;
    bool demo_ = false;
    TPopupSettings settings_;
    std::deque<std::wstring> queue_;
    size_t queuedChars_ = 0;
    int doneInBatch_ = 0;  // texts closed since the window last appeared
    bool animOn_ = false;
    int secondsLeft_ = 0;
    bool hovering_ = false;
    bool hoverButton_ = false;
    int scroll_ = 0;

    TFormShadow shadow_;
    // Text colours that read on the frame's body, whatever the frame package.
    COLORREF text_ = RGB(32, 36, 44), dim_ = RGB(110, 118, 130), button_ = RGB(240, 242, 246);
    TScale scale_;
    GdiObject<HFONT> textFont_;
    int textWidth_ = 0, textHeight_ = 0, viewHeight_ = 0, lineHeight_ = 1;
    RECT textRect_{}, buttonRect_{};
};

}  // namespace tempora
