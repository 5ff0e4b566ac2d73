// TFrmOptions, "系统设置": the modal dialog in which the user changes every
// setting of skin.ini but the positions. Six pages with their tabs on the
// left; transparency, the LED or plain-text time, its font and stay-on-top
// act on the running program at once, the skin and clock-style pages apply
// a package at once with their own buttons, and everything else is written
// and handed to the program when the dialog closes. There is no cancel:
// closing in any way saves. When skin.ini cannot be written the user is
// told and the dialog stays open, so that nothing chosen is lost.
#pragma once

#include "app/UnitOptions.h"
#include "display/Dialog_win.h"
#include "core/Bitmap.h"
#include "timesvc/SyncTime_win.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace tempora {

class TClockApp;

class TFrmOptions final : public TDialog {
public:
    static constexpr wchar_t kClassName[] = L"TFrmOptions";
    static constexpr int kWidth = 472, kHeight = 353;

    // The pages, in the order of the tabs and of the menus' page numbers.
    enum Page : int {
        TabSheet1,  // "常规"
        TabSheet6,  // "报时"
        TabSheet2,  // "皮肤"
        TabSheet3,  // "时钟"
        TabSheet4,  // "消息"
        TabSheet5,  // "校时"
    };
    static constexpr int kPageCount = TabSheet5 + 1;

    // Control ids.
    enum : int {
        UiButton1 = IDOK,  // "关闭(&C)"
        kTabFirst = 1000,  // the six tabs, kTabFirst + page
        UiCheckBox1 = 1100,
        UiCheckBox8,
        UiCheckBox2,
        UiComboBox3,
        UiCheckBox7,
        UiCheckBox3,
        UiCheckBox4,
        UiRadioGroup1,  // the first of its four buttons, + chime type
        UiCheckBox6 = UiRadioGroup1 + 4,
        UiComboBox1,
        UiComboBox2,
        UiListView1,
        Image1,
        UiButton3,
        UiTrackBar1,
        Label3,
        UiListView2,
        Image2,
        UiButton2,
        UiRadioButton6,
        UiRadioButton7,
        UiButton5,
        UiRadioButton1,
        UiRadioButton2,
        UiSpinEdit1,
        UiRadioButton3,
        UiRadioButton4,
        UiRadioButton5,
        UiSpinEdit2,
        UiTrackBar2,
        Label7,
        UiCheckBox5,
        UiSpinEdit3,
        UiButton4,
        Label13,
        UiCheckBox9,    // "夜间免打扰"
        UiTimePicker1,  // its start ("从")
        UiTimePicker2,  // its end ("到")
        kFirstStatic,   // captions and frames without a role of their own
    };

    explicit TFrmOptions(TClockApp& app);
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
    // When the program quits under the dialog: the settings are written if
    // the file takes them, and nothing is handed to the ending program.
    void SaveAtQuit();

    // The package a list's selection names, empty while none that reads is
    // selected; what "应用(&A)" applies.
    const std::string& ChosenSkin() const { return chosenSkin_; }
    const std::string& ChosenClock() const { return chosenClock_; }
    // The previews as drawn.
    const Bitmap& SkinPreview() const { return skinPreview_; }
    const Bitmap& ClockPreview() const { return clockPreview_; }

    // The plain-text clock takes `font` (what "字体(&F)" does on OK).
    void ChooseTimeFont(const TTimeFont& font);

    // The dialog that shows now, if any.
    static TFrmOptions* Current();

protected:
    void Command(int id, int code) override;
    bool Accept() override { return SaveOptions(); }
    HWND FirstFocus() const override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void BuildControls();
    void LoadOptions();
    void ShowPage(int page);
    void FillList(int listId, const char* folder, const char* suffix, const std::string& current);
    void FocusList();
    void SkinSelected(int item);
    void ClockSelected(int item);
    std::string ItemPath(int listId, int item) const;
    void ApplySkin();
    void ApplyClockStyle();
    void UpdateEnabling();
    void TrackBarMoved(HWND bar);
    void ChooseFontDialog();
    void CheckTimeNow();
    void TimeChecked();
    bool WriteKeys(const std::vector<TIniValue>& values);
    TOptionsValues Gathered() const;
    void DrawItem(const DRAWITEMSTRUCT& dis);
    bool Checked(int id) const;
    void SetChecked(int id, bool on);
    int SpinValue(int id) const;
    void SetTimeOfDay(int id, int minute);
    int TimeOfDay(int id) const;
    void SaveAutoStart();

    TClockApp& app_;
    std::vector<std::vector<HWND>> pageControls_;
    int page_ = -1;
    bool loading_ = false;
    bool pageVisited_[kPageCount] = {};
    bool autoStartChanged_ = false;
    std::string chosenSkin_, chosenClock_;
    std::vector<std::string> skinPaths_, clockPaths_;
    Bitmap skinPreview_, clockPreview_;
    std::unique_ptr<TSyncTimeDir> timeCheck_;
    GdiObject<HFONT> tabFont_;
};

// Shows the options dialog modally on `page` (0–5; −1 the first) and frees
// it; closing saves. While one shows, another call turns it to `page`.
void ShowOptions(TClockApp& app, int page);

}  // namespace tempora
