// TLunarCal: the month grid of the calendar, a row of weekday names over six
// rows of seven day cells. Each cell shows the Gregorian day number and, in
// sub-areas below or to the right of it, the lunar text (lunar day, month
// name, GanZhi day or solar term) and the festival text; public holidays get
// a small 休 (day off) or 班 (make-up working day) badge in a corner.
//
// The grid owns no window. It paints into a picture, takes mouse and key
// input as plain calls, and tells its host what to repaint and where the
// hover hint goes:
//   OnInvalidate(rect)  the part of the control that must be repainted; the
//                       host repaints it later through Paint().
//   OnChange()          Date changed.
//   OnClick()           Enter was pressed.
// Text reaches pixels through the injected glyph rasteriser.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/Holiday.h"
#include "calendar/LunarCal.Festivals.h"
#include "core/Bitmap.h"
#include "display/SmoothFont.h"

namespace tempora {

// Where a text sub-area of a cell lies: below the day number, to its right,
// or nowhere.
enum TLunarCalStyle : uint8_t { csBottom, csRight, csNone };

// left, top, width, height; empty when a side is not positive.
struct TCalRect {
    int left = 0, top = 0, width = 0, height = 0;
    int Right() const { return left + width; }
    int Bottom() const { return top + height; }
    bool Empty() const { return width <= 0 || height <= 0; }
    bool Contains(int x, int y) const {
        return x >= left && x < Right() && y >= top && y < Bottom();
    }
    bool Intersects(const TCalRect& o) const {
        return !Empty() && !o.Empty() && left < o.Right() && o.left < Right() && top < o.Bottom() &&
               o.top < Bottom();
    }
    bool operator==(const TCalRect&) const = default;
};

// Colours may name a system colour: 0xFF000000 + its index, resolved when
// painting.
inline constexpr uint32_t clActiveCaption = 0xFF000002;
inline constexpr uint32_t clWindow = 0xFF000005;
inline constexpr uint32_t clWindowText = 0xFF000008;
inline constexpr uint32_t clInactiveCaptionText = 0xFF000013;

// Font sizes in points and TFontSpec heights (negative: character height in
// pixels) at `pixelsPerInch`, rounded as the platform does.
int FontHeightOfSize(int size, int pixelsPerInch);
int FontSizeOfHeight(int height, int pixelsPerInch);

// A festival text longer than maxBytes GBK bytes, cut to maxBytes - 2 bytes
// (one less where a double-byte character would be split) with "…" appended.
std::string CutFestivalText(std::string_view text, int maxBytes);

class TLunarCal;

// The grid's colours and fonts. Setting one to a different value repaints
// the grid; setting a font also makes the grid's measuring Font a copy of
// DayTextFont. A font's colour is the colour of its text.
class TLunarCalColors {
public:
    TLunarCalColors(const TLunarCalColors&) = delete;
    TLunarCalColors& operator=(const TLunarCalColors&) = delete;

    uint32_t TitleBackColor() const { return titleBack_; }
    uint32_t WeekBackColor() const { return weekBack_; }
    uint32_t DayBackColor() const { return dayBack_; }
    uint32_t TrailingTextColor() const { return trailingText_; }
    uint32_t LunarTermColor() const { return lunarTerm_; }
    uint32_t SundayColor() const { return sunday_; }
    uint32_t SaturdayColor() const { return saturday_; }
    uint32_t HightlightBackColor() const { return hightlightBack_; }
    uint32_t HightlightTextColor() const { return hightlightText_; }
    uint32_t BorderColor() const { return border_; }
    uint32_t GridColor() const { return grid_; }
    uint32_t ArrowColor() const { return arrow_; }
    void SetTitleBackColor(uint32_t c) { SetColor(titleBack_, c); }
    void SetWeekBackColor(uint32_t c) { SetColor(weekBack_, c); }
    void SetDayBackColor(uint32_t c) { SetColor(dayBack_, c); }
    void SetTrailingTextColor(uint32_t c) { SetColor(trailingText_, c); }
    void SetLunarTermColor(uint32_t c) { SetColor(lunarTerm_, c); }
    void SetSundayColor(uint32_t c) { SetColor(sunday_, c); }
    void SetSaturdayColor(uint32_t c) { SetColor(saturday_, c); }
    void SetHightlightBackColor(uint32_t c) { SetColor(hightlightBack_, c); }
    void SetHightlightTextColor(uint32_t c) { SetColor(hightlightText_, c); }
    void SetBorderColor(uint32_t c) { SetColor(border_, c); }
    void SetGridColor(uint32_t c) { SetColor(grid_, c); }
    void SetArrowColor(uint32_t c) { SetColor(arrow_, c); }

    const TFontSpec& TitleTextFont() const { return titleFont_; }
    const TFontSpec& WeekTextFont() const { return weekFont_; }
    const TFontSpec& DayTextFont() const { return dayFont_; }
    const TFontSpec& LunarTextFont() const { return lunarFont_; }
    const TFontSpec& FtvTextFont() const { return ftvFont_; }
    const TFontSpec& BackMonthTextFont() const { return backMonthFont_; }
    void SetTitleTextFont(const TFontSpec& f) { SetFont(titleFont_, f); }
    void SetWeekTextFont(const TFontSpec& f) { SetFont(weekFont_, f); }
    void SetDayTextFont(const TFontSpec& f) { SetFont(dayFont_, f); }
    void SetLunarTextFont(const TFontSpec& f) { SetFont(lunarFont_, f); }
    void SetFtvTextFont(const TFontSpec& f) { SetFont(ftvFont_, f); }
    void SetBackMonthTextFont(const TFontSpec& f) { SetFont(backMonthFont_, f); }

private:
    friend class TLunarCal;
    TLunarCalColors(TLunarCal& owner, int pixelsPerInch);
    void SetColor(uint32_t& field, uint32_t value);
    void SetFont(TFontSpec& field, const TFontSpec& value);

    TLunarCal& owner_;
    uint32_t titleBack_ = clActiveCaption, weekBack_ = clWindow, dayBack_ = clWindow;
    uint32_t trailingText_ = clInactiveCaptionText, lunarTerm_ = 0x800000;
    uint32_t sunday_ = 0x0000FF, saturday_ = 0x000080;
    uint32_t hightlightBack_ = clActiveCaption, hightlightText_ = 0xFFFFFF;
    uint32_t border_ = 0x808080, grid_ = 0xC0C0C0, arrow_ = 0xFFFFFF;
    TFontSpec titleFont_, weekFont_, dayFont_, lunarFont_, ftvFont_, backMonthFont_;
};

// The text layout of the hover hint: lines split at runs of CR and LF; when
// the text holds "=", each line at its first "=" into a label (trimmed, with
// ":") and a value. It is Width() x Height() (0 x 0: not shown) and paints
// labels in red at x 5 and values at 5 + the widest label.
class TCalendarHint {
public:
    struct TLine {
        std::string full, label, value;
        bool operator==(const TLine&) const = default;
    };

    explicit TCalendarHint(TGlyphRasterizer& glyphs);

    // The hint font; its colour paints the values. Lays the text out again.
    void SetFont(const TFontSpec& font);
    const TFontSpec& Font() const { return font_; }
    void SetText(std::string_view text);
    const std::string& Text() const { return text_; }

    int Width() const { return width_; }
    int Height() const { return height_; }
    const std::vector<TLine>& Lines() const { return lines_; }
    int LabelWidth() const { return labelWidth_; }

    // The popup's constant alpha; values outside 0..255 are ignored.
    int Alpha() const { return alpha_; }
    void SetAlpha(int alpha);

    // The hint's face at Width() x Height() over `backColor`.
    void Paint(Bitmap& picture, uint32_t backColor);

private:
    void Layout();

    TSmoothFont smooth_;
    TFontSpec font_;
    std::string text_;
    std::vector<TLine> lines_;
    int width_ = 0, height_ = 0, labelWidth_ = 0, lineHeight_ = 0;
    int alpha_ = 255;
};

// Keys the grid handles, with the platform's virtual-key values.
enum TCalKey : int {
    ckEnter = 0x0D,
    ckPageUp = 0x21,
    ckPageDown = 0x22,
    ckEnd = 0x23,
    ckHome = 0x24,
    ckLeft = 0x25,
    ckUp = 0x26,
    ckRight = 0x27,
    ckDown = 0x28,
};

// What the host does with the hint after the pointer moved.
struct TCalHintRequest {
    enum TAction : uint8_t {
        Hide,
        Show,      // show it if hidden, where it is, with its text
        ShowMoved  // Hint() has its text for this place; show it at x, y
    };
    TAction action = Hide;
    int x = 0, y = 0;  // client coordinates, before the host keeps it on the screen
    bool operator==(const TCalHintRequest&) const = default;
};

// What a day cell shows; rectangles in client coordinates, empty for what
// is not shown, colours resolved.
struct TCellContent {
    TDateTime date = 0;
    bool inMonth = false;
    bool today = false;  // shows 今天 instead of the number
    std::string dayText, lunarText, festivalText;
    uint32_t dayColor = 0, lunarColor = 0, festivalColor = 0;
    TCalRect day, lunar, festival;
    HolidayKind holiday = HolidayKind::None;
    // The 休 or 班 badge: the top-right corner, or else the bottom-right
    // one, clear of every text (a text in the way steps left when its cell
    // leaves it room); empty when neither corner has room.
    TCalRect badge;
};

class TLunarCal {
public:
    static constexpr int kInitialWidth = 300, kInitialHeight = 210;
    static constexpr uint32_t kTodayColor = 0x008000;
    static constexpr uint32_t kSelectedColor = 0xFF8000;
    static constexpr uint32_t kDayOffColor = 0x0000FF;
    static constexpr uint32_t kWorkDayColor = 0x808080;

    // Starts at today's date (from ClockSource), kInitialWidth x
    // kInitialHeight, with the built-in festival tables; font sizes in points
    // become pixel heights at `pixelsPerInch`.
    explicit TLunarCal(TGlyphRasterizer& glyphs, int pixelsPerInch = 96);
    TLunarCal(const TLunarCal&) = delete;
    TLunarCal& operator=(const TLunarCal&) = delete;

    struct TLayout {
        int cellWidth = 0, cellHeight = 0;
        TCalRect title, weekRow, dayArea;
        // Sub-areas of a cell, relative to its top-left corner.
        TCalRect dayNumber, lunar, festival;
        int maxFestivalBytes = 6;
        // Hot areas of the four arrows (ShowArrow); nothing is painted there.
        TCalRect prevYear, prevMonth, nextMonth, nextYear;
    };

    // --- Size and layout
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Negative sides count as 0. New layout, repaint.
    void SetSize(int width, int height);
    // The resolution the grid is drawn at (96 at 100 %): every font keeps
    // its size in points and the layout is made again. 0 or less reads as 96.
    void SetPixelsPerInch(int pixelsPerInch);
    int PixelsPerInch() const { return ppi_; }
    const TLayout& Layout() const { return layout_; }
    // The cell 0..41 at a client point, or -1.
    int CellAt(int x, int y) const;
    // Client rectangle of cell 0..41.
    TCalRect CellRect(int index) const;
    TDateTime FirstCellDate() const { return firstCell_; }
    int Year() const { return year_; }
    int Month() const { return month_; }
    int Day() const { return day_; }

    // --- Date
    TDateTime Date() const { return date_; }
    // Ignored outside the years 1900..2100 and for the current date; the time
    // of day is cut off. Raises OnChange and repaints what changed.
    void SetDate(TDateTime x);
    // Clamp into 1900..2100 and 1..12, lowering the day to the month's length.
    void SetYear(int year);
    void SetMonth(int month);
    // Moves the date by `months` months, lowering the day to the month's
    // length; nothing when that leaves the years 1900..2100.
    void MoveDate(int months);
    // Selects the day at a client point when it lies in the displayed month.
    bool SelectCellAt(int x, int y);

    // --- Properties; a setter given the current value does nothing.
    TLunarCalColors& CalColors() { return colors_; }
    const TLunarCalColors& CalColors() const { return colors_; }
    TFestivalList& FtvList() { return *ftvList_; }
    const TFestivalList& FtvList() const { return *ftvList_; }
    // From now on the grid reads the festivals and marked days of `list`,
    // which outlives the grid, instead of its own copy of the built-in
    // tables; FtvList() gives `list`. Repaints.
    void ShareFtvList(TFestivalList& list);
    TCalendarHint& Hint() { return hint_; }
    const TCalendarHint& Hint() const { return hint_; }

    TLunarCalStyle LunarCalStyle() const { return lunarStyle_; }
    void SetLunarCalStyle(TLunarCalStyle style);
    TLunarCalStyle FtvCalStyle() const { return ftvStyle_; }
    void SetFtvCalStyle(TLunarCalStyle style);
    bool ChineseEar() const { return chineseEar_; }
    void SetChineseEar(bool on) { SetFlag(chineseEar_, on); }
    // Monday first and ISO week numbers.
    bool UseISO8601() const { return useISO8601_; }
    void SetUseISO8601(bool on);
    bool ShowVertical() const { return showVertical_; }
    void SetShowVertical(bool on) { SetFlag(showVertical_, on); }
    bool ShowBackMonth() const { return showBackMonth_; }
    void SetShowBackMonth(bool on) { SetFlag(showBackMonth_, on); }
    bool ShowBackImage() const { return showBackImage_; }
    void SetShowBackImage(bool on) { SetFlag(showBackImage_, on); }
    const std::shared_ptr<const Bitmap>& BackImage() const { return backImage_; }
    void SetBackImage(std::shared_ptr<const Bitmap> image);
    // Drawn (magenta see-through) in marked cells instead of filling them.
    const std::shared_ptr<const Bitmap>& MarkImage() const { return markImage_; }
    void SetMarkImage(std::shared_ptr<const Bitmap> image) { markImage_ = std::move(image); }
    bool ShowArrow() const { return showArrow_; }
    void SetShowArrow(bool on) { SetFlag(showArrow_, on); }
    // Magnitudes below 0.001 (and NaN) are ignored. New layout, repaint.
    double VerticalScale() const { return verticalScale_; }
    void SetVerticalScale(double scale);
    double HorizonScale() const { return horizonScale_; }
    void SetHorizonScale(double scale);
    bool AutoFontSize() const { return autoFontSize_; }
    void SetAutoFontSize(bool on);
    bool ShowBorder() const { return showBorder_; }
    void SetShowBorder(bool on) { SetFlag(showBorder_, on); }
    bool ShowGrid() const { return showGrid_; }
    void SetShowGrid(bool on) { SetFlag(showGrid_, on); }
    bool EnWeekName() const { return enWeekName_; }
    void SetEnWeekName(bool on) { SetFlag(enWeekName_, on); }
    // Anti-aliased text (and its shadow with ShadowFont) instead of plain text.
    bool SmoothText() const { return smoothText_; }
    void SetSmoothText(bool on) { SetFlag(smoothText_, on); }
    bool ShadowFont() const { return shadowFont_; }
    void SetShadowFont(bool on) { SetFlag(shadowFont_, on); }
    // The hover hint works only when true.
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool on) { showHint_ = on; }
    // The face that font sizes are fitted and festival lengths measured in.
    const TFontSpec& Font() const { return font_; }
    void SetFont(const TFontSpec& font);

    // Public holidays; an empty function means none. Repaints.
    void SetHolidayLookup(std::function<HolidayInfo(TDateTime)> lookup);
    HolidayInfo HolidayAt(TDateTime date) const;
    // What the holiday data says beyond the badges: a "label= value" line
    // the hint adds for a day, and a quiet line the day area shows under
    // the month number for a year (that its holidays are missing); empty
    // functions or texts add nothing. Repaints.
    void SetHolidayNotes(std::function<std::string(TDateTime)> dayNote,
                         std::function<std::string(int year)> yearNote);
    // System colour by index; an empty function reads the classic scheme.
    void SetSysColors(std::function<uint32_t(int index)> lookup);
    // A colour value with a system colour resolved, as 0x00BBGGRR.
    uint32_t ResolveColor(uint32_t color) const;

    std::function<void()> OnChange;
    std::function<void()> OnClick;
    std::function<void(const TCalRect& rect)> OnInvalidate;

    // --- Painting
    // Paints the part `clip` of the control into `picture`, which becomes
    // Width() x Height() (losing its pixels) if it has another size; what
    // lies outside `clip` is left as it was.
    void Paint(Bitmap& picture, const TCalRect& clip);
    void Paint(Bitmap& picture) { Paint(picture, {0, 0, width_, height_}); }

    // --- Input, client coordinates
    void MouseDown(int x, int y);  // left button
    void MouseDrag(int x, int y);  // moved with the left button held
    // A key without shift, control or alt state; false when not handled.
    bool KeyDown(int key, bool shiftState);

    // --- Hover hint
    // The pointer moved to x, y; updates Hint()'s text when the hint is to
    // show something new.
    TCalHintRequest HintAt(int x, int y);
    // 公元, 农历, 干支, 节日 as CalendarHintText gives them, for a public
    // holiday "假日= " + name + " (休)" or " (班)", then the day's holiday note.
    std::string HintTextOf(TDateTime day) const;

    // What cell 0..41 shows, with today as ClockSource gives it.
    TCellContent CellContent(int index);

private:
    friend class TLunarCalColors;

    struct TSurface;

    void Invalidate(const TCalRect& r);
    void InvalidateAll() { Invalidate({0, 0, width_, height_}); }
    void SetFlag(bool& field, bool on);
    void NewLayout();
    int Fit(std::string_view text, int width, int height);
    void ComputeFirstCell();
    TDateTime CellDate(int index) const { return firstCell_ + index; }

    TSize Measure(const TFontSpec& font, uint32_t color, std::string_view text);
    void DrawText(TSurface& s, const TFontSpec& font, uint32_t color, int x, int y,
                  std::string_view text, bool shadow);
    // Where a lunar or festival text goes in `area`; `text` becomes what is
    // drawn there (a vertical text keeps three characters).
    TCalRect PlaceText(const TCalRect& area, TLunarCalStyle style, const TFontSpec& font,
                       uint32_t color, std::string& text);
    void DrawPlaced(TSurface& s, const TCalRect& box, TLunarCalStyle style, const TFontSpec& font,
                    uint32_t color, std::string_view text, bool shadow);
    std::string LunarTextOf(TDateTime date, bool& isTerm) const;
    TCellContent ContentOf(int index, TDateTime today);
    // The badge's corner; may move content's texts left to make room.
    TCalRect BadgeIn(const TCalRect& cell, TCellContent& content) const;
    TFontSpec DayFont(bool today) const;
    TFontSpec BadgeFont(int side) const;
    void PaintCell(TSurface& s, int index, TDateTime today);
    void PaintWeekRow(TSurface& s);
    // Rebuilds the day area's background when what it shows changed.
    void UpdateDayBack();

    TGlyphRasterizer& glyphs_;
    TSmoothFont smooth_;
    int ppi_;
    TLunarCalColors colors_;
    TFestivalList ownFtvList_;
    TFestivalList* ftvList_ = &ownFtvList_;
    TCalendarHint hint_;
    TFontSpec font_;
    std::function<HolidayInfo(TDateTime)> holidays_;
    std::function<std::string(TDateTime)> dayNote_;
    std::function<std::string(int)> yearNote_;
    std::function<uint32_t(int)> sysColors_;

    int width_ = kInitialWidth, height_ = kInitialHeight;
    TLayout layout_;
    TDateTime date_ = 0, firstCell_ = 0;
    int year_ = 1899, month_ = 12, day_ = 30;

    TLunarCalStyle lunarStyle_ = csRight, ftvStyle_ = csBottom;
    bool chineseEar_ = false, useISO8601_ = false, showVertical_ = false;
    bool showBackMonth_ = true, showBackImage_ = false, showArrow_ = true;
    bool autoFontSize_ = true, showBorder_ = false, showGrid_ = false, enWeekName_ = false;
    bool smoothText_ = false, shadowFont_ = false, showHint_ = true;
    double verticalScale_ = 4.0, horizonScale_ = 2.5;
    std::shared_ptr<const Bitmap> backImage_, markImage_;

    // The day area's colour, picture and month number, kept between paints
    // because the large month number is the costliest text of the grid.
    struct TDayBackKey {
        int width = 0, height = 0, controlWidth = 0;
        uint32_t color = 0;
        const Bitmap* image = nullptr;
        int month = 0;     // 0: no month number
        std::string note;  // under the month number
        TFontSpec font, noteFont;
        bool smooth = false;
        bool operator==(const TDayBackKey&) const = default;
    };
    Bitmap dayBack_;
    TDayBackKey dayBackKey_;
    bool dayBackValid_ = false;

    // The date the hint was last made for; NaN when none.
    TDateTime hintDate_;
    Bitmap scratch_;
};

}  // namespace tempora
