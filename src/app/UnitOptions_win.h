// TFrmOptions, "系统设置": the modal dialog in which the user changes every
// setting of skin.ini but the positions. Six pages with their tabs on the
// left; transparency, the LED or plain-text time, its font and stay-on-top
// act on the running program at once, the skin and clock-style pages apply
// a package at once with their own buttons, and everything else is written
// and handed to the program when the dialog closes. There is no cancel:
// closing in any way saves. When skin.ini cannot be written the user is
// told and the dialog stays open, so that nothing chosen is lost.
#pragma once

#include "app/OptionsHost_win.h"
#include "app/OptionsPages_win.h"
#include "core/Bitmap.h"
#include "display/Dialog_win.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tempora {

class TFrmOptions final : public TDialog, public TOptionsIds {
public:
    static constexpr wchar_t kClassName[] = L"TFrmOptions";
    static constexpr int kWidth = 472, kHeight = 353;

    explicit TFrmOptions(TOptionsHost& host);
    ~TFrmOptions() override;

    // Creates the dialog hidden, centred on the owner's monitor, on `page`
    // (−1: the first), with the settings put into its controls.
    bool Create(HWND owner, int page);

    // Turns to `page`; its skin or style list is filled on the first visit,
    // and on pages 2 and 3 the selected item is scrolled into view and takes
    // the focus.
    void SelectPage(int page);
    int CurrentPage() const { return page_; }

    // Writes every setting to skin.ini at once and hands them to the running
    // program, the popup program told last; false, with the user told, when
    // skin.ini cannot be written (nothing is written then).
    bool SaveOptions();
    // When the program quits under the dialog: what the dialog showed when
    // it went is written if the file takes it, and nothing is handed to the
    // ending program. A dialog that never showed writes nothing.
    void SaveAtQuit();

    // The package a list's selection names, empty while none that reads is
    // selected; what "应用(&A)" applies.
    const std::string& ChosenSkin() const { return skin_->Chosen(); }
    const std::string& ChosenClock() const { return clock_->Chosen(); }
    // The previews as drawn.
    const Bitmap& SkinPreview() const { return skin_->Preview(); }
    const Bitmap& ClockPreview() const { return clock_->Preview(); }

    // The plain-text clock takes `font` (what "字体(&F)" does on OK).
    void ChooseTimeFont(const TTimeFont& font) { host_.SetTimeFont(font); }

    // The dialog that shows now, if any.
    static TFrmOptions* Current();

protected:
    void Command(int id, int code) override;
    bool Accept() override { return SaveOptions(); }
    HWND FirstFocus() const override;
    void ScaleChanged() override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void ShowPage(int page);
    void FocusList();
    void UpdateEnabling();
    TOptionsValues Gathered() const;
    void DrawItem(const DRAWITEMSTRUCT& dis);

    TOptionsHost& host_;
    std::vector<std::unique_ptr<TOptionsPage>> pages_;
    // The pages with a role beyond their share of the settings.
    TOptionsGeneralPage* general_ = nullptr;
    TOptionsSkinPage* skin_ = nullptr;
    TOptionsClockPage* clock_ = nullptr;
    TOptionsTimePage* time_ = nullptr;
    int page_ = -1;
    bool pageVisited_[kPageCount] = {};
    int nextStaticId_ = kFirstStatic;
    // What the controls showed when the window went, read while they lived.
    std::optional<TOptionsValues> shownAtEnd_;
    GdiObject<HFONT> tabFont_;
};

// Shows the options dialog modally on `page` (0–5; −1 the first) over the
// host's window and frees it; closing saves. While one shows, another call
// turns it to `page`.
void ShowOptions(TOptionsHost& host, int page);

}  // namespace tempora
