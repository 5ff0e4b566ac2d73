// The pages of the options dialog: the control ids they share with the
// dialog and its tests, and the base every page builds on. A page makes its
// controls on the dialog, puts the settings into them, takes its share back
// and answers its own controls.
#pragma once

#include "app/OptionsHost_win.h"
#include "app/UnitOptions.h"
#include "core/Bitmap.h"

#include <windows.h>

#include <functional>
#include <string>
#include <span>
#include <string_view>
#include <vector>

namespace tempora {

struct TOptionsIds {
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
        UiCheckBox9,      // "夜间免打扰"
        UiTimePicker1,    // its start ("从")
        UiTimePicker2,    // its end ("到")
        UiCheckBox10,     // "节假日不报时"
        UiDayKeyOn,       // "报日热键": the hotkey that speaks the day
        UiDayKeyMods,     // its modifiers
        UiDayKeyChar,     // its letter
        UiComboBoxScale,  // "缩放", the bar's scale
        kFirstStatic,     // captions and frames without a role of their own
    };
    // The up-down half of a spin field carries the field's id plus this.
    static constexpr int kSpinButton = 500;
    // Posted to the dialog by the "立即校正" check when its attempt has ended.
    static constexpr UINT kTimeCheckedMessage = WM_APP + 1;
    // Where the pages lie in the dialog, and the left edge of their controls.
    static constexpr int kPageX = 86, kPageY = 34, kPageW = 378, kPageH = 276;
    static constexpr int kX = kPageX + 12;
};

class TOptionsPage : public TOptionsIds {
public:
    // Makes a control on the dialog; id 0 gives a caption or frame an id of its own.
    using TAddControl = std::function<HWND(const wchar_t* cls, std::string_view text, DWORD style,
                                           int x, int y, int w, int h, int id, DWORD exStyle)>;

    TOptionsPage(HWND dialog, TOptionsHost& host, TAddControl add);
    virtual ~TOptionsPage() = default;
    TOptionsPage(const TOptionsPage&) = delete;
    TOptionsPage& operator=(const TOptionsPage&) = delete;

    // Makes the page's controls, hidden until the page shows.
    virtual void Build() = 0;
    // Puts the settings into the page's controls.
    virtual void Load(const TOptionsValues&) {}
    // Takes the page's share of the settings from its controls.
    virtual void Gather(TOptionsValues&) const {}
    // Before the page shows for the first time.
    virtual void FirstVisit() {}
    // A command from a control of the dialog; every page hears every one.
    virtual void Command(int, int) {}
    // Greys what the page's choices leave without meaning.
    virtual void UpdateEnabling() {}
    // A track bar of the page moved.
    virtual void TrackBarMoved(HWND) {}
    // WM_NOTIFY from a control; true when the page took it.
    virtual bool Notify(const NMHDR&) { return false; }
    // An owner-drawn control of the page over `picture`, the dialog's
    // background under it; true when the page drew into it.
    virtual bool DrawPicture(int, Bitmap&) { return false; }
    // The control that takes the focus when the page shows, if any.
    virtual HWND FocusControl() const { return nullptr; }

    void Show(bool on);

protected:
    HWND Add(const wchar_t* cls, std::string_view text, DWORD style, int x, int y, int w, int h,
             int id, DWORD exStyle = 0);
    // A frame with a caption around some of the page's controls.
    void AddGroup(std::string_view caption, int x, int y, int w, int h);
    // A number field with its up-down buttons, lo … hi.
    void AddSpin(int id, int x, int y, int lo, int hi);
    HWND AddCombo(int id, int x, int y, int w, std::span<const char* const> items);
    // A transparency track bar over the alpha range of `key`.
    void AddTrack(int id, int x, int y, int w, const TSettingKey& key);
    void AddList(int id, int x, int y, int w, int h);

    HWND Item(int id) const { return GetDlgItem(dialog_, id); }
    bool Checked(int id) const;
    void SetChecked(int id, bool on);
    void Enable(int id, bool on);
    // A spin field's value; emptied or typed past its range it reads as the
    // nearest end.
    int SpinValue(int id) const;
    void SetSpinValue(int id, int value);
    // Writes `values` to skin.ini; false, with the user told, when it cannot be written.
    bool Write(const std::vector<TIniValue>& values) const;
    // Tells the user in a box over the dialog.
    void Tell(const wchar_t* text, const wchar_t* title, UINT icon) const;

    HWND dialog_;
    TOptionsHost& host_;

private:
    TAddControl add_;
    std::vector<HWND> controls_;
};

// Writes `values` to the settings file at `path` in one replacement; false,
// with the user told in a box over `owner` that nothing was saved, when the
// file cannot be written (a read-only one included).
bool WriteOptionKeys(HWND owner, const std::string& path, const std::vector<TIniValue>& values);

// The part of the dialog's frame picture under a child, so that what a
// child draws for itself sits on the same background as the rest.
Bitmap BackgroundUnder(HWND dialog, HWND child);

}  // namespace tempora
