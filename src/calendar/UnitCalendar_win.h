// The perpetual calendar view: the month grid on the skin's background, the
// year, month and display-mode pickers above it, the selected day's lunar,
// GanZhi, festival and mark lines under it, and the context menu of the
// calendar marks. Festivals, marks and holidays come from the program's
// TCalendarData, which the window shares: the marks the user edits here are
// the ones the bar's hint and reminder read.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "calendar/CalendarData.h"
#include "calendar/LunarCal.Grid.h"
#include "calendar/LunarCal_win.h"
#include "calendar/UnitCalendar.h"
#include "display/Commands_win.h"
#include "display/MenuController_win.h"
#include "display/SmoothFont_win.h"
#include "display/SupFun.h"
#include "display/DockedView_win.h"
#include "core/Handles_win.h"
#include "core/Scale.h"

namespace tempora {

class TFrmCalendar : public TDockedView {
public:
    static constexpr wchar_t kClassName[] = L"TFrmCalendar";
    // The grid's place on the window at 100 %.
    static constexpr int kGridLeft = 3, kGridTop = 43;

    // Menu command ids.
    enum : UINT {
        PM_Mark = 300,      // 标记当日
        PM_DelMark,         // 取消标记
        PM_AllMark,         // 所有日历标记
        PM_CSSJ,            // 城市时间查询
        PM_ShiZhong,        // 时钟
        PM_TianQi,          // 天气
        PM_Close,           // 关闭窗口
        PM_YOther,          // 其他...
        PM_GN,              // 公历-农历
        PM_GG,              // 公历-干支
        PM_JR,              // 公历-节日
        PM_ImportHolidays,  // 导入假日安排…
        PM_ExportIcs,       // 导出为日历文件 (.ics)…
        kYearBase = 400,
        kMonthBase = 450,
    };

    // `dataDir` ends in the folder separator; Skin\, skin.ini and Marks.rec
    // lie there. `data` (loaded from there) outlives the window.
    TFrmCalendar(std::string dataDir, TCalendarData& data);
    ~TFrmCalendar() override;

    // Creates the window hidden, owned by `owner`, with the skin of skin.ini
    // and the festivals, marks and holidays of the shared data; the grid
    // shows today.
    bool Create(HWND owner);

    // Applies the calendar package that skin.ini's SKIN/SkinFile names; a
    // missing or damaged one leaves the look as it is.
    void ReloadSkin();
    int Width() const { return face_.Width(); }
    int Height() const { return face_.Height(); }

    // The list of all marks ("日历标记") over `owner`, then the marks file
    // saved (a failed save is told).
    void EditAllMarks(HWND owner);

    // "导入假日安排…": a file the user chooses, checked whole (a refusal names
    // its first bad line), what it adds or changes shown for confirmation,
    // then merged into the user's holidays and the badges repainted.
    // `path` skips the file dialog when not empty.
    void ImportHolidays(const std::string& path);
    // The shared holidays changed elsewhere: badges and lines are redrawn.
    void HolidaysChanged();

    TLunarCal& Grid() { return grid_.Grid(); }
    TLunarCalCtrl& GridControl() { return grid_; }
    TCalendarMarks& Marks() { return data_.Marks(); }
    const TCalendarInfo& Info() const { return info_; }
    TCalendarMode Mode() const { return mode_; }
    void SetMode(TCalendarMode mode);

    // What the view's menu asks of the bar; an item without its function
    // shows greyed.
    std::function<void()> OnWorldTime;
    std::function<void()> OnShowClock;
    std::function<void()> OnShowWeather;

    // The hot areas of the title band and the info panel, client coordinates.
    enum TArea {
        aNone = -1,
        aYear,
        aYearButton,
        aMonth,
        aMonthButton,
        aMode,
        aModeButton,
        aPrevMonth,  // 上个月
        aToday,      // 今天
        aNextMonth,  // 下个月
    };
    RECT AreaRect(TArea area) const;
    const TMenuController& MenuPainter() const { return *menuPainter_; }

    // The context menu as it opens from a grid day (`onDay`) or from
    // anywhere else, and what choosing an item does; tests drive these.
    MenuHandle BuildMarkMenu(bool onDay);
    void RunCommand(UINT id);

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void ApplySkin(const TCalendarSkin& skin);
    // Takes the scale of the bar it belongs to: the places, the plain look
    // and the grid follow.
    void FollowScale();
    int Px(int px100) const { return scale_.Px(px100); }
    void SetUpGrid();
    void SetHolidayLookups();
    void ComposeFace();
    void Refresh();
    void AddTips();
    TArea AreaAt(POINT p) const;
    void PaintNavButtons(TSmoothFont& text);
    void OpenPicker(TArea area);
    void OpenMarkMenu(POINT screenAt, bool onDay);
    void MarkDay();
    void ExportIcs();
    void DeleteDayMarks();
    void SaveMarks();
    void ComposeShown();
    void OnPaint();

    std::string dataDir_;
    TCalendarData& data_;
    TLunarCalCtrl grid_;
    TCommandTable commands_;
    std::unique_ptr<TMenuController> menuPainter_;
    TCalendarMode mode_ = cmLunar;
    TCalendarInfo info_;

    TScale scale_;
    Bitmap background_;  // the skin's, or a plain one of our own
    Bitmap btnYear_, btnMonth_;
    Bitmap face_;   // background and buttons: what the window shows under its texts
    Bitmap shown_;  // the face with the captions and the info lines
    uint32_t fontColor_ = 0;
    TGdiGlyphs glyphs_;
    HWND tips_ = nullptr;
};

}  // namespace tempora
