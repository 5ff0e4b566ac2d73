#include "calendar/UnitCalendar_win.h"

#include <commctrl.h>
#include <commdlg.h>
#include <windowsx.h>

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

#include "calendar/CalendarDialog_win.h"
#include "calendar/MarkIcs_win.h"
#include "calendar/UnitEditMark_win.h"
#include "calendar/UnitInputYear_win.h"
#include "calendar/UnitMark_win.h"
#include "calendar/UnitMsgDelMark_win.h"
#include "core/ClockSource.h"
#include "core/Encoding.h"
#include "core/FileSys.h"
#include "core/IniFile.h"
#include "core/SettingKeys.h"
#include "display/MyWindow.h"
#include "win/Dpi_win.h"
#include "win/Gdi_win.h"
#include "win/PictureBlit_win.h"

namespace tempora {

namespace {

// Where the captions end (they are right-aligned) and their pickers sit; the
// info lines' left edge and tops, at 100 %. The shipped skins are drawn for
// these.
constexpr int kCaptionTop = 12, kCaptionBottom = 38;
constexpr int kYearRight = 96, kMonthRight = 170, kModeRight = 290;
constexpr int kYearLeft = 14, kMonthLeft = 116, kModeLeft = 190;
constexpr int kButtonTop = 17;
constexpr int kInfoLeft = 14, kInfoTop = 322, kInfoStep = 16, kInfoRightMargin = 10;
constexpr int kTitleBand = 40;
// The month arrows and 今天 at the right of the first info line.
constexpr int kNavTop = kInfoTop + 1, kNavHeight = 15, kNavRight = 322;
constexpr int kArrowWidth = 15, kTodayWidth = 34, kNavGap = 3;
constexpr int kNextLeft = kNavRight - kArrowWidth;
constexpr int kTodayLeft = kNextLeft - kNavGap - kTodayWidth;
constexpr int kPrevLeft = kTodayLeft - kNavGap - kArrowWidth;

// Half-way between two colours: the buttons' rims take the skin's text
// colour softened by what lies under them.
uint32_t Blend(uint32_t a, uint32_t b) {
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8)
        out |= ((((a >> shift) & 0xFF) + ((b >> shift) & 0xFF)) / 2) << shift;
    return out;
}

// The look when no calendar package applies: the plain view panel with a
// rule above the info lines.
Bitmap PlainBackground(TScale scale) {
    Bitmap b = PlainViewBackground(scale.Px(332), scale.Px(390), scale.Px(kTitleBand));
    b.FillRect(scale.Px(3), scale.Px(317), scale.Px(332 - 6), scale.Px(1), 0xC8BEB4);
    return b;
}

std::wstring W(std::string_view s) {
    return Utf8ToWide(std::string(s));
}

}  // namespace

TFrmCalendar::TFrmCalendar(std::string dataDir, TCalendarData& data)
    : TDockedView(TOnClose::Hide), dataDir_(std::move(dataDir)), data_(data) {}

TFrmCalendar::~TFrmCalendar() {
    if (Handle())
        DestroyWindow(Handle());
}

bool TFrmCalendar::Create(HWND owner) {
    // A view is drawn at its owner's scale.
    scale_ = WindowScale(owner);
    background_ = PlainBackground(scale_);
    btnYear_ = btnMonth_ = PlainViewButton();
    ComposeFace();
    // Like every window of the program, it casts the soft shadow of its
    // shape; its magenta pixels let the shadow through.
    if (!CreateView(kClassName, L"日历", WS_POPUP | WS_CLIPCHILDREN, face_.Width(), face_.Height(),
                    owner, [this] { return &face_; })) {
        return false;
    }
    menuPainter_ = std::make_unique<TMenuController>(nullptr);

    if (!grid_.Create(Handle(), Px(kGridLeft), Px(kGridTop), Px(kCalendarGridWidth),
                      Px(kCalendarGridHeight))) {
        return false;
    }
    SetUpGrid();
    grid_.OnChange = [this] { Refresh(); };
    grid_.OnRightClick = [this](int x, int y) {
        if (Grid().SelectCellAt(x, y))
            UpdateWindow(grid_.Handle());
        POINT at{x, y};
        ClientToScreen(grid_.Handle(), &at);
        OpenMarkMenu(at, true);
    };

    commands_.Add(PM_Mark, [this] { MarkDay(); });
    commands_.Add(PM_DelMark, [this] { DeleteDayMarks(); });
    commands_.Add(PM_AllMark, [this] { EditAllMarks(Handle()); });
    commands_.Add(PM_ImportHolidays, [this] { ImportHolidays({}); });
    commands_.Add(PM_ExportIcs, [this] { ExportIcs(); });
    commands_.Add(PM_Close, [this] { CloseView(); });
    commands_.Add(PM_YOther, [this] {
        if (const std::optional<int> year = RunInputYear(Handle(), Grid().Year());
            year && *year > 0)
            Grid().SetYear(*year);
    });
    for (UINT id : {PM_GN, PM_GG, PM_JR}) {
        commands_.Add(
            id, [this, id] { SetMode(static_cast<TCalendarMode>(id - PM_GN)); },
            [this, id] { return mode_ == static_cast<TCalendarMode>(id - PM_GN); });
    }

    ReloadSkin();
    grid_.Repaint();
    Grid().SetDate(ClockSource::Current().NowLocal());
    AddTips();
    Refresh();
    return true;
}

void TFrmCalendar::SetUpGrid() {
    SetUpCalendarGrid(Grid());
    Grid().ShareFtvList(data_.Festivals());
    SetHolidayLookups();
}

void TFrmCalendar::SetHolidayLookups() {
    // Setting them makes the grid draw its cells and day back afresh.
    Grid().SetHolidayLookup([this](TDateTime day) { return data_.HolidayOf(day); });
    Grid().SetHolidayNotes([this](TDateTime day) { return data_.HolidayNoteOf(day); },
                           [this](int year) {
                               return data_.Holidays().Covers(year) ? std::string()
                                                                    : HolidaysMissingText(year);
                           });
}

void TFrmCalendar::ReloadSkin() {
    FollowScale();
    const std::string file = TIniFile(dataDir_ + "skin.ini").ReadString("SKIN", "SkinFile", "");
    TCalendarSkin skin;
    if (file.empty() || ReadCalendarSkin(dataDir_, dataDir_ + "Skin\\" + file, skin, nullptr,
                                         WindowScale(Handle())) != TSkinResult::Applied) {
        return;  // a missing or damaged package leaves the look as it is
    }
    ApplySkin(skin);
}

void TFrmCalendar::FollowScale() {
    const TScale scale = WindowScale(Handle());
    if (scale == scale_)
        return;
    scale_ = scale;
    // The plain look until a package reads at the new scale; the grid and
    // its fonts at the new place and size.
    background_ = PlainBackground(scale_);
    ComposeFace();
    SetWindowPos(grid_.Handle(), nullptr, Px(kGridLeft), Px(kGridTop), Px(kCalendarGridWidth),
                 Px(kCalendarGridHeight), SWP_NOZORDER | SWP_NOACTIVATE);
    if (tips_) {
        for (TArea area : {aYear, aYearButton, aMonth, aMonthButton, aMode, aModeButton, aPrevMonth,
                           aToday, aNextMonth}) {
            TOOLINFOW ti{};
            ti.cbSize = sizeof ti;
            ti.hwnd = Handle();
            ti.uId = static_cast<UINT_PTR>(area);
            ti.rect = AreaRect(area);
            SendMessageW(tips_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&ti));
        }
    }
}

void TFrmCalendar::ApplySkin(const TCalendarSkin& skin) {
    background_ = skin.background;
    if (!skin.btnYearUp.Empty())
        btnYear_ = skin.btnYearUp;
    if (!skin.btnMonthUp.Empty())
        btnMonth_ = skin.btnMonthUp;
    fontColor_ = skin.fontColor;
    TLunarCalColors& c = Grid().CalColors();
    c.SetDayBackColor(skin.dayBackColor);
    c.SetWeekBackColor(skin.weekBackColor);
    c.SetHightlightBackColor(skin.hightlightBackColor);
    data_.SetMarkColor(static_cast<int32_t>(skin.markColor));
    if (menuPainter_)
        menuPainter_->colors = skin.menu;
    ComposeFace();
    if (Handle()) {
        SetWindowPos(Handle(), nullptr, 0, 0, face_.Width(), face_.Height(),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        InvalidateRect(Handle(), nullptr, FALSE);
        grid_.Repaint();
        shadow_.UpdateShadow();
    }
}

void TFrmCalendar::ComposeFace() {
    face_ = background_;
    const auto button = [this](const Bitmap& picture, int right) {
        face_.CopyTransparent(Px(right + 4), Px(kButtonTop), picture, 0, 0, picture.Width(),
                              picture.Height());
    };
    button(btnYear_, kYearRight);
    button(btnMonth_, kMonthRight);
    button(btnYear_, kModeRight);
    ComposeShown();
}

void TFrmCalendar::ComposeShown() {
    shown_ = face_;
    // Smooth text drawn at four times the size: small CJK faces keep every
    // stroke, which their embedded bitmaps at 12 pixels may not.
    TSmoothFont text(glyphs_);
    text.SetSurface(&shown_);
    text.SetQuality(tqHigh);
    TFontSpec font;
    font.Name = WideToUtf8(ChineseDisplayFont());
    font.Height = -Px(19);
    font.Bold = true;
    font.Charset = 134;
    font.Color = fontColor_ & 0xFFFFFF;
    text.SetFont(font);
    const std::pair<TArea, std::string> captions[] = {{aYear, info_.yearCaption},
                                                      {aMonth, info_.monthCaption},
                                                      {aMode, kCalendarModeCaptions[mode_]}};
    for (const auto& [area, caption] : captions) {
        const RECT r = AreaRect(area);
        const TSize size = text.TextExtent(caption);
        text.PaintText(r.right - size.Width, (r.top + r.bottom - size.Height) / 2, caption);
    }
    font.Name = "宋体";
    font.Height = scale_.FontHeight(9);
    font.Bold = false;
    text.SetFont(font);
    const std::string* lines[] = {&info_.lunar, &info_.ganZhi, &info_.festival, &info_.marks};
    // A long note or festival list ends at the panel's right rim, between characters.
    const int width = shown_.Width() - Px(kInfoLeft) - Px(kInfoRightMargin);
    const auto measure = [&text](std::string_view s) { return text.TextExtent(s).Width; };
    for (int i = 0; i < 4; ++i) {
        // The first line shares its row with the month buttons.
        const int room = i == 0 ? Px(kPrevLeft - kNavGap - kInfoLeft) : width;
        const std::string line = FitInfoLine(*lines[i], room, measure);
        const TSize size = text.TextExtent(line);
        text.PaintText(Px(kInfoLeft),
                       Px(kInfoTop + i * kInfoStep) + (Px(kInfoStep) - size.Height) / 2, line);
    }
    PaintNavButtons(text);
}

void TFrmCalendar::PaintNavButtons(TSmoothFont& text) {
    const uint32_t ink = fontColor_ & 0xFFFFFF;
    for (TArea area : {aPrevMonth, aToday, aNextMonth}) {
        const RECT r = AreaRect(area);
        const int w = r.right - r.left, h = r.bottom - r.top;
        // A rim with cut corners, its inside lightly tinted, over the skin's panel.
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x) {
                const bool edgeX = x == r.left || x == r.right - 1;
                const bool edgeY = y == r.top || y == r.bottom - 1;
                if (edgeX && edgeY)
                    continue;
                uint32_t& px = shown_.At(x, y);
                if (px == Bitmap::kKeyColor)
                    continue;
                px = edgeX || edgeY ? Blend(ink, px) : Blend(px, Blend(0xFFFFFF, px));
            }
        }
        if (area == aToday) {
            const TSize size = text.TextExtent("今天");
            text.PaintText(r.left + (w - size.Width) / 2, r.top + (h - size.Height) / 2, "今天");
            continue;
        }
        // A solid triangle pointing back or on.
        const int cx = r.left + w / 2, cy = r.top + h / 2;
        const int dir = area == aPrevMonth ? -1 : 1;
        const int tip = Px(3) * dir, back = Px(2) * dir, half = Px(4);
        const std::vector<Bitmap::Point> arrow = {
            {cx + tip, cy}, {cx - back, cy - half}, {cx - back, cy + half}};
        shown_.Polygon(arrow, ink, ink);
    }
}

void TFrmCalendar::SetMode(TCalendarMode mode) {
    mode_ = mode;
    TLunarCal& g = Grid();
    if (mode == cmFestival) {
        g.SetLunarCalStyle(csNone);
        g.SetFtvCalStyle(csBottom);
    } else {
        g.SetChineseEar(mode == cmGanZhi);
        g.SetFtvCalStyle(csNone);
        g.SetLunarCalStyle(csBottom);
    }
    if (tips_) {
        const std::wstring caption = W(kCalendarModeCaptions[mode]);
        for (UINT_PTR id : {aMode, aModeButton}) {
            TOOLINFOW ti{};
            ti.cbSize = sizeof ti;
            ti.hwnd = Handle();
            ti.uId = id;
            ti.lpszText = const_cast<wchar_t*>(caption.c_str());
            SendMessageW(tips_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
        }
    }
    ComposeShown();
    InvalidateRect(Handle(), nullptr, FALSE);
}

void TFrmCalendar::Refresh() {
    const TDateTime day = Grid().Date();
    info_ = CalendarInfoOf(day, Grid().FtvList(), data_.MarksTextOf(day));
    ComposeShown();
    if (Handle())
        InvalidateRect(Handle(), nullptr, FALSE);
}

void TFrmCalendar::AddTips() {
    tips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                            WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    if (!tips_)
        return;
    for (TArea area : {aYear, aYearButton, aMonth, aMonthButton, aMode, aModeButton, aPrevMonth,
                       aToday, aNextMonth}) {
        std::wstring text = area <= aYearButton    ? L"选择年"
                            : area <= aMonthButton ? L"选择月"
                            : area <= aModeButton  ? W(kCalendarModeCaptions[mode_])
                            : area == aPrevMonth   ? L"上个月"
                            : area == aToday       ? L"回到今天"
                                                   : L"下个月";
        TOOLINFOW ti{};
        ti.cbSize = sizeof ti;
        ti.uFlags = TTF_SUBCLASS;
        ti.hwnd = Handle();
        ti.uId = static_cast<UINT_PTR>(area);
        ti.rect = AreaRect(area);
        ti.lpszText = text.data();
        SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
}

RECT TFrmCalendar::AreaRect(TArea area) const {
    const auto button = [this](const Bitmap& b, int right) {
        const int left = Px(right + 4), top = Px(kButtonTop);
        return RECT{left, top, left + std::max(b.Width(), Px(11)),
                    top + std::max(b.Height(), Px(11))};
    };
    // At 100 %, scaled on the way out.
    const auto at = [this](int left, int top, int right, int bottom) {
        return RECT{Px(left), Px(top), Px(right), Px(bottom)};
    };
    switch (area) {
        case aYear:
            return at(kYearLeft, kCaptionTop, kYearRight, kCaptionBottom);
        case aYearButton:
            return button(btnYear_, kYearRight);
        case aMonth:
            return at(kMonthLeft, kCaptionTop, kMonthRight, kCaptionBottom);
        case aMonthButton:
            return button(btnMonth_, kMonthRight);
        case aMode:
            return at(kModeLeft, kCaptionTop, kModeRight, kCaptionBottom);
        case aModeButton:
            return button(btnYear_, kModeRight);
        case aPrevMonth:
            return at(kPrevLeft, kNavTop, kPrevLeft + kArrowWidth, kNavTop + kNavHeight);
        case aToday:
            return at(kTodayLeft, kNavTop, kTodayLeft + kTodayWidth, kNavTop + kNavHeight);
        case aNextMonth:
            return at(kNextLeft, kNavTop, kNextLeft + kArrowWidth, kNavTop + kNavHeight);
        default:
            return {};
    }
}

TFrmCalendar::TArea TFrmCalendar::AreaAt(POINT p) const {
    for (TArea area : {aYear, aYearButton, aMonth, aMonthButton, aMode, aModeButton, aPrevMonth,
                       aToday, aNextMonth}) {
        const RECT r = AreaRect(area);
        if (PtInRect(&r, p))
            return area;
    }
    return aNone;
}

void TFrmCalendar::OpenPicker(TArea area) {
    // The menu opens at the caption's left edge, just below it.
    const RECT caption = AreaRect(area <= aYearButton    ? aYear
                                  : area <= aMonthButton ? aMonth
                                                         : aMode);
    POINT at{caption.left, caption.bottom};
    ClientToScreen(Handle(), &at);
    MenuHandle menu(CreatePopupMenu());
    if (!menu)
        return;
    const std::array<int, 13> years = YearMenuYears(Grid().Year());
    if (area <= aYearButton) {
        for (size_t i = 0; i < years.size(); ++i)
            menuPainter_->Add(menu.Get(), kYearBase + static_cast<UINT>(i),
                              std::to_wstring(years[i]) + L"年");
        menuPainter_->AddSeparator(menu.Get());
        menuPainter_->Add(menu.Get(), PM_YOther, L"其他...");
    } else if (area <= aMonthButton) {
        for (int m = 1; m <= 12; ++m) {
            wchar_t caption2[8];
            swprintf(caption2, 8, L"%02d月", m);
            menuPainter_->Add(menu.Get(), kMonthBase + m, caption2);
        }
    } else {
        for (UINT id : {PM_GN, PM_GG, PM_JR})
            menuPainter_->Add(menu.Get(), id, W(kCalendarModeCaptions[id - PM_GN]));
        TickMenu(menu.Get(), commands_, PM_GN, PM_JR);
    }
    const UINT id = TrackPopupMenu(menu.Get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_LEFTALIGN, at.x,
                                   at.y, 0, Handle(), nullptr);
    if (id >= kYearBase && id < kYearBase + years.size()) {
        Grid().SetYear(years[id - kYearBase]);
    } else if (id > kMonthBase && id <= kMonthBase + 12) {
        Grid().SetMonth(static_cast<int>(id - kMonthBase));
    } else if (id) {
        RunCommand(id);
    }
}

MenuHandle TFrmCalendar::BuildMarkMenu(bool onDay) {
    static constexpr TMenuEntry kSwitch[] = {{PM_ShiZhong, L"时钟"}, {PM_TianQi, L"天气"}};
    static constexpr TMenuEntry kDayItems[] = {{PM_Mark, L"标记当日"}, {PM_DelMark, L"取消标记"}};
    static constexpr TMenuEntry kItems[] = {
        {PM_AllMark, L"所有日历标记"},
        {PM_ImportHolidays, L"导入假日安排…"},
        {PM_ExportIcs, L"导出为日历文件 (.ics)…"},
        {},
        {PM_CSSJ, L"城市时间查询"},
        {},
        {0, L"切换到", -1, kSwitch},
        {PM_Close, L"关闭窗口"},
    };
    // What the bar offers joins the table as the bar sets it.
    const std::pair<UINT, std::function<void()>*> fromBar[] = {
        {PM_CSSJ, &OnWorldTime}, {PM_ShiZhong, &OnShowClock}, {PM_TianQi, &OnShowWeather}};
    for (const auto& [id, fn] : fromBar) {
        if (*fn && !commands_.Has(id))
            commands_.Add(id, [fn] { (*fn)(); });
    }
    if (!onDay)
        return BuildMenu(*menuPainter_, {kItems}, commands_);
    MenuHandle menu = BuildMenu(*menuPainter_, {kDayItems, kItems}, commands_);
    // 取消标记 only for a day that has a mark of either kind.
    const std::string solarKey = FormatMMDD(Grid().Date());
    bool marked = data_.Marks().IndexOfName("0" + solarKey) >= 0;
    if (const std::optional<std::string> lunarKey = LunarKeyOf(solarKey))
        marked = marked || data_.Marks().IndexOfName("1" + *lunarKey) >= 0;
    else
        ShowInvalidDate(Handle(), solarKey);
    EnableMenuItem(menu.Get(), PM_DelMark, MF_BYCOMMAND | (marked ? MF_ENABLED : MF_GRAYED));
    return menu;
}

void TFrmCalendar::OpenMarkMenu(POINT screenAt, bool onDay) {
    grid_.HideHint();
    MenuHandle menu = BuildMarkMenu(onDay);
    if (!menu)
        return;
    const UINT id = TrackPopupMenu(menu.Get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_LEFTALIGN,
                                   screenAt.x, screenAt.y, 0, Handle(), nullptr);
    if (id)
        RunCommand(id);
}

void TFrmCalendar::RunCommand(UINT id) {
    // What a command opens (editor, list, question) comes to the front.
    grid_.HideHint();
    commands_.Run(id);
}

void TFrmCalendar::ImportHolidays(const std::string& chosen) {
    static constexpr wchar_t kTitle[] = L"导入假日安排";
    std::string path = chosen;
    if (path.empty()) {
        std::wstring file(MAX_PATH * 4, L'\0');
        OPENFILENAMEW ofn{};
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = Handle();
        ofn.lpstrFilter = L"假日安排(*.lst)\0*.lst\0所有文件(*.*)\0*.*\0";
        ofn.lpstrFile = file.data();
        ofn.nMaxFile = static_cast<DWORD>(file.size());
        ofn.lpstrTitle = kTitle;
        ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
                    OFN_NOCHANGEDIR;
        if (!GetOpenFileNameW(&ofn))
            return;
        file.resize(wcslen(file.c_str()));
        path = WideToUtf8(file);
    }
    const auto tell = [this](const std::string& text, UINT icon) {
        return MessageBoxW(Handle(), Utf8ToWide(text).c_str(), kTitle, icon);
    };
    std::string bytes;
    if (!ReadFileBytes(path, bytes)) {
        tell("无法读取文件：" + path, MB_OK | MB_ICONWARNING);
        return;
    }
    THolidayList incoming;
    std::vector<THolidayChange> changes;
    const THolidayCheck check = data_.CheckUpdate(bytes, incoming, changes);
    if (!check.ok) {
        tell("文件未导入，假日安排保持原样。\r\n" + check.message, MB_OK | MB_ICONWARNING);
        return;
    }
    if (changes.empty()) {
        tell("文件中的假日安排都已收录，没有新增或更新的年份。", MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (tell("将导入以下假日安排：\r\n" + DescribeChanges(incoming, changes) + "\r\n\r\n是否导入？",
             MB_YESNO | MB_ICONQUESTION) != IDYES) {
        return;
    }
    if (!data_.ApplyUpdate(incoming, changes)) {
        tell("无法保存假日安排，未作更改。", MB_OK | MB_ICONWARNING);
        return;
    }
    HolidaysChanged();
}

void TFrmCalendar::HolidaysChanged() {
    SetHolidayLookups();
    grid_.Repaint();
    Refresh();
}

void TFrmCalendar::MarkDay() {
    if (!tempora::MarkDay(Handle(), data_.Marks(), Grid().FtvList(), Grid().Date()))
        return;
    grid_.Repaint();
    Refresh();
    SaveMarks();
}

void TFrmCalendar::DeleteDayMarks() {
    if (!tempora::DeleteDayMarks(Handle(), data_.Marks(), Grid().FtvList(), Grid().Date()))
        return;
    grid_.Repaint();
    Refresh();
    SaveMarks();
}

void TFrmCalendar::EditAllMarks(HWND owner) {
    grid_.HideHint();
    RunAllMarks(owner, data_.Marks(), Grid().FtvList());
    grid_.Repaint();
    Refresh();
    SaveMarks();
}

void TFrmCalendar::ExportIcs() {
    grid_.HideHint();
    const std::string path = ChooseIcsFile(Handle());
    if (!path.empty()) {
        ExportMarksIcs(Handle(), data_.Marks(), path,
                       ReadInt(TIniFile(dataDir_ + kSettingsFile), setting::MarkIcsYears));
    }
}

void TFrmCalendar::SaveMarks() {
    SaveMarksOrTell(Handle(), data_.Marks(), dataDir_);
}

void TFrmCalendar::OnPaint() {
    PaintScope ps(Handle());
    BlitPicture(ps.Dc(), 0, 0, shown_);
}

LRESULT TFrmCalendar::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_LBUTTONDOWN: {
            const POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
            switch (const TArea area = AreaAt(p)) {
                case aNone:
                    break;
                case aPrevMonth:
                case aNextMonth:
                    Grid().MoveDate(area == aPrevMonth ? -1 : 1);
                    return 0;
                case aToday:
                    Grid().SetDate(ClockSource::Current().NowLocal());
                    return 0;
                default:
                    OpenPicker(area);
                    return 0;
            }
            // Anywhere else on the background or the info lines moves the window.
            ReleaseCapture();
            SendMessageW(Handle(), WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
            return 0;
        }
        case WM_RBUTTONUP: {
            POINT at{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
            ClientToScreen(Handle(), &at);
            OpenMarkMenu(at, false);
            return 0;
        }
        case WM_MEASUREITEM:
            if (menuPainter_ &&
                menuPainter_->OnMeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lp)))
                return TRUE;
            break;
        case WM_DRAWITEM:
            if (menuPainter_ &&
                menuPainter_->OnDrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lp)))
                return TRUE;
            break;
        case WM_SHOWWINDOW:
            // Each opening starts at today, not at the month browsed last time.
            if (wp)
                Grid().SetDate(ClockSource::Current().NowLocal());
            else
                grid_.HideHint();
            break;
        case WM_ACTIVATE:
            // A dialog or another window came to the front: the day's hint
            // must not stay over it.
            if (LOWORD(wp) == WA_INACTIVE)
                grid_.HideHint();
            break;
    }
    return TDockedView::WndProc(msg, wp, lp);
}

}  // namespace tempora
