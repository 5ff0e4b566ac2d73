// The world-time dialog "城市时间查询": the countries of TimeZone.lst in a
// drop-down list, the chosen country's cities in a two-column list (name,
// other name), and for the chosen city a panel with its title, its time
// now, its zone, its position and, when it keeps daylight saving, this
// year's switch dates.
//
// The dialog is modeless and dressed in the dialog frame with a drop
// shadow. It keeps no timer: its owner calls RefreshTime once a second
// while it is open. Escape, Alt+C, the frame's close button and "关闭(&C)"
// close it, which destroys its window; the object stays and can be freed.
#pragma once

#include <windows.h>

#include "display/ufrmShadowFrame_win.h"
#include "timesvc/WorldTime.h"
#include "core/Handles_win.h"
#include "core/Scale.h"
#include "win/Window_win.h"

#include <string>
#include <vector>

namespace tempora {

class TFrmWorldTime : public TWindow {
public:
    static constexpr int kWidth = 620, kHeight = 330;  // the client area
    static constexpr wchar_t kClassName[] = L"TFrmWorldTime";
    enum : int {
        UiButton1Id = IDCANCEL,
        UiComboBox1Id = 100,
        UiListView1Id,
        Label1Id,
        Label3Id = Label1Id + 2,
        Label4Id,
        Label5Id,
        Label6Id,
        Label7Id,
        Label8Id,
        Label9Id,
    };

    TFrmWorldTime() = default;
    ~TFrmWorldTime() override;

    // Creates the dialog hidden, owned by `owner` (may be null), centred on
    // the work area of the owner's monitor, with the cities of
    // dataDir + TimeZone.lst (none when the file is missing or unreadable);
    // the first country and its first city are selected.
    bool Create(HWND owner, const std::string& dataDir);
    // Shows the dialog, or brings it to the front when it shows already.
    void Show();
    // The selected city's time and daylight saving at the clock's present
    // (ClockSource), shown while the panel is.
    void RefreshTime();

    const std::vector<TCountryData>& Countries() const { return countries_; }
    // -1 when nothing is selected.
    int CountryIndex() const { return country_; }
    int CityIndex() const { return city_; }
    bool PanelVisible() const;
    const TFormShadow& Shadow() const { return shadow_; }

    HWND UiComboBox1() const { return GetDlgItem(Handle(), UiComboBox1Id); }
    HWND UiListView1() const { return GetDlgItem(Handle(), UiListView1Id); }
    HWND UiButton1() const { return GetDlgItem(Handle(), UiButton1Id); }
    // Label3 (title) .. Label8 (daylight-saving end); Label9 the difference
    // to Beijing time.
    HWND Label(int n) const { return GetDlgItem(Handle(), Label3Id + n - 3); }

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    static LRESULT CALLBACK KeyProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                    DWORD_PTR self);
    bool HandleKey(HWND control, UINT msg, WPARAM wp);
    int Px(int px100) const { return scale_.Px(px100); }
    void CountrySelected();
    void CitySelected();
    // The panel UiPanel1 is the labels Label3 .. Label8 in an etched frame
    // drawn on the dialog's body.
    void ShowPanel(bool shown);
    void Paint();
    void SetText(HWND control, const std::string& text);

    std::vector<TCountryData> countries_;
    int country_ = -1;
    int city_ = -1;
    bool panelShown_ = false;
    TScale scale_;
    GdiObject<HFONT> font_, boldFont_, timeFont_;
    TFormShadow shadow_;
};

}  // namespace tempora
