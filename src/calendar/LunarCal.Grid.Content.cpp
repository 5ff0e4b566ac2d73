#include "calendar/LunarCal.Grid.Internal.h"

#include "core/ClockSource.h"

namespace tempora {

using namespace lunar_grid;

std::string TLunarCal::LunarTextOf(TDateTime date, bool& isTerm) const {
    std::string term = SolarTermOfDay(date);
    isTerm = !term.empty();
    if (isTerm)
        return term;
    if (chineseEar_)
        return GanZhiText(GanZhiOf(date).DayCycle);
    const LunarDate l = SolarToLunar(date);
    if (l.Day == 0)
        return {};
    return l.Day == 1 ? LunarMonthText(l.Month, l.IsLeap) : LunarDayText(l.Day);
}

TCellContent TLunarCal::CellContent(int index) {
    return ContentOf(index, std::floor(ClockSource::Current().NowLocal()));
}

TCellContent TLunarCal::ContentOf(int index, TDateTime today) {
    const TLayout& L = layout_;
    const TLunarCalColors& c = colors_;
    const TCalRect cell = CellRect(index);
    TCellContent out;
    out.date = CellDate(index);
    const DateParts p = DecodeDate(out.date);
    out.inMonth = p.month == month_;
    const int n = index % 7 + (useISO8601_ ? 1 : 0);

    out.today = out.date == today;
    const bool isToday = out.today;
    uint32_t color = c.trailingText_;
    if (isToday)
        color = kTodayColor;
    else if (out.inMonth)
        color = n == 0 || n == 7 ? c.sunday_ : n == 6 ? c.saturday_ : c.dayFont_.Color;
    out.dayColor = ResolveColor(color);
    const TCalRect dayArea = Offset(L.dayNumber, cell.left, cell.top);
    if (!dayArea.Empty()) {
        out.dayText = isToday ? "今天" : std::to_string(p.day);
        const TSize sz = Measure(DayFont(isToday), out.dayColor, out.dayText);
        out.day = {dayArea.left + (dayArea.width - sz.Width) / 2,
                   dayArea.top + (dayArea.height - sz.Height) / 2, sz.Width, sz.Height};
    }

    const TCalRect lunarArea = Offset(L.lunar, cell.left, cell.top);
    const TCalRect ftvArea = Offset(L.festival, cell.left, cell.top);
    const FestivalMatch f = ftvArea.Empty() ? FestivalMatch{} : ftvList_->FestivalTextOf(out.date);
    // Sharing one rectangle, a festival pushes the lunar text out.
    const bool shared = !ftvArea.Empty() && lunarStyle_ == ftvStyle_;
    if (!(shared && !f.text.empty())) {
        bool isTerm = false;
        out.lunarText = LunarTextOf(out.date, isTerm);
        out.lunarColor = ResolveColor(!out.inMonth ? c.trailingText_
                                      : isTerm     ? c.lunarTerm_
                                                   : c.lunarFont_.Color);
        out.lunar = PlaceText(lunarArea, lunarStyle_, c.lunarFont_, out.lunarColor, out.lunarText);
    }
    if (!shared || !f.text.empty()) {
        out.festivalText = CutFestivalText(f.text, L.maxFestivalBytes);
        out.festivalColor = ResolveColor(!out.inMonth          ? c.trailingText_
                                         : f.color != kNoColor ? static_cast<uint32_t>(f.color)
                                                               : c.ftvFont_.Color);
        out.festival =
            PlaceText(ftvArea, ftvStyle_, c.ftvFont_, out.festivalColor, out.festivalText);
    }

    out.holiday = HolidayAt(out.date).kind;
    if (out.holiday != HolidayKind::None)
        out.badge = BadgeIn(cell, out);
    return out;
}

TCalRect TLunarCal::BadgeIn(const TCalRect& cell, TCellContent& content) const {
    const int W = cell.width, H = cell.height;
    const int preferred = std::clamp(RoundEven(std::min(W, H) * 0.3), kMinBadge, kMaxBadge);
    // Inside the selection outline, which takes two pixels at the left and
    // top edges and three at the right and bottom.
    constexpr int kLead = 2, kTrail = 3;
    // The top-right corner, else the bottom-right one. A text in the way
    // steps left to make room, as far as the outline; with a pixel of air
    // around each, no text may then touch the badge or another text.
    for (const bool top : {true, false}) {
        for (int side = preferred; side >= kMinBadge; --side) {
            const TCalRect r{cell.Right() - kTrail - side,
                             top ? cell.top + kLead : cell.Bottom() - kTrail - side, side, side};
            if (r.left < cell.left + kLead || r.top < cell.top + kLead)
                continue;
            TCellContent moved = content;
            TCalRect* texts[] = {&moved.day, &moved.lunar, &moved.festival};
            bool ok = true;
            for (TCalRect* t : texts) {
                if (!Inflate(*t, 1, 1).Intersects(r))
                    continue;
                t->left -= t->Right() + 1 - r.left;
                ok = ok && t->left >= cell.left + kLead + 1;
            }
            const TCalRect* was[] = {&content.day, &content.lunar, &content.festival};
            for (int i = 0; i < 3 && ok; ++i) {
                ok = !Inflate(*texts[i], 1, 1).Intersects(r);
                for (int j = i + 1; j < 3 && ok; ++j)
                    ok = was[i]->Intersects(*was[j]) || !texts[i]->Intersects(*texts[j]);
            }
            if (ok) {
                content = moved;
                return r;
            }
        }
    }
    return {};
}

TFontSpec TLunarCal::DayFont(bool today) const {
    TFontSpec font = colors_.dayFont_;
    if (today) {
        // 今天 in the day number's size and weight, but in the Chinese face
        // of the lunar texts: a Latin day face may have no such characters.
        font.Name = colors_.lunarFont_.Name;
        font.Charset = colors_.lunarFont_.Charset;
    }
    return font;
}

TFontSpec TLunarCal::BadgeFont(int side) const {
    TFontSpec font = colors_.lunarFont_;
    font.Height = -side;
    font.Bold = true;
    return font;
}

}  // namespace tempora
