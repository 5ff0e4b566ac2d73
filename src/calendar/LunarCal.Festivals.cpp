#include "LunarCal.Festivals.h"

#include "core/Text.h"

#include <algorithm>
#include <string>

namespace tempora {

namespace {

// The calendar window's tables; the built-in ones differ only in 0520.
constexpr std::string_view kSolarFestivals[] = {
    "0101=新年元旦",
    "0202=世界湿地日",
    "0207=国际声援南非日",
    "0210=国际气象节",
    "0212=国际足球比赛日",
    "0214=西方情人节",
    "0301=国际海豹日",
    "0303=全国爱耳日",
    "0308=国际妇女节",
    "0312=植树节 孙中山逝世纪念日 复活节",
    "0314=国际警察日",
    "0315=国际消费者权益日",
    "0317=中国国医节 国际航海日",
    "0321=世界儿歌日",
    "0322=世界水日",
    "0323=世界气象日",
    "0324=世界防治结核病日",
    "0325=全国中小学生安全教育日",
    "0330=巴勒斯坦国土日",
    "0401=愚人节 全国爱国卫生运动月(四月) 税收宣传月(四月)",
    "0407=世界卫生日",
    "0422=世界地球日",
    "0423=世界图书和版权日",
    "0424=亚非新闻工作者日",
    "0501=国际劳动节",
    "0504=中国五四青年节",
    "0505=碘缺乏病防治日",
    "0508=世界红十字日",
    "0512=国际护士节",
    "0515=国际家庭日",
    "0517=世界电信日",
    "0518=国际博物馆日",
    "0520=全国学生营养日",
    "0523=国际牛奶日",
    "0531=世界无烟日",
    "0601=国际儿童节",
    "0605=世界环境日",
    "0606=全国爱眼日",
    "0617=防治荒漠化和干旱日",
    "0623=国际奥林匹克日",
    "0625=全国土地日",
    "0626=国际反毒品日",
    "0701=香港回归纪念 中国共产党建党日 世界建筑日",
    "0702=国际体育记者日",
    "0707=七七事变 中国人民抗日战争纪念日",
    "0711=世界人口日",
    "0730=非洲妇女日",
    "0801=中国建军节",
    "0808=中国男子节(爸爸节)",
    "0815=日本正式宣布无条件投降日",
    "0903=抗日战争胜利纪念日",
    "0908=国际扫盲日 国际新闻工作者日",
    "0909=毛泽东逝世纪念日",
    "0910=教师节",
    "0914=世界清洁地球日",
    "0916=国际臭氧层保护日",
    "0917=甲午海战(1894年)",
    "0918=国耻日 九·一八事变纪念日",
    "0920=国际爱牙日",
    "0927=世界旅游日",
    "0928=孔子诞辰",
    "1001=国际音乐日",
    "1002=国际和平与民主自由斗争日",
    "1004=世界动物日",
    "1008=世界视觉日",
    "1009=世界邮政日 万国邮联日",
    "1010=辛亥革命纪念日 世界精神卫生日",
    "1013=世界保健日 国际教师节",
    "1014=世界标准日",
    "1015=国际盲人节(白手杖节)",
    "1016=世界粮食日",
    "1017=世界消除贫困日",
    "1022=世界传统医药日",
    "1024=联合国日 世界发展信息日",
    "1031=世界勤俭日 万圣节",
    "1107=十月社会主义革命纪念日",
    "1108=中国记者日",
    "1109=全国消防安全宣传教育日",
    "1110=世界青年节",
    "1111=国际科学与和平周(本日所属的一周) 光棍节",
    "1112=孙中山诞辰纪念日",
    "1114=世界糖尿病日",
    "1117=国际大学生节 世界学生节",
    "1121=世界问候日 世界电视日",
    "1129=国际声援巴勒斯坦人民国际日",
    "1201=世界艾滋病日",
    "1203=世界残疾人日",
    "1205=国际经济和社会发展志愿人员日",
    "1208=国际儿童电视日",
    "1209=世界足球日",
    "1210=世界人权日",
    "1212=西安事变纪念日",
    "1213=南京大屠杀(1937年)纪念日！紧记血泪史！",
    "1220=澳门回归纪念日",
    "1221=国际篮球日",
    "1224=平安夜",
    "1225=圣诞节",
    "1226=毛泽东诞辰纪念日",
    "1229=国际生物多样性日",
};
constexpr std::string_view kLunarFestivals[] = {
    "0100=除夕",
    "0101=春节",
    "0115=元宵节 中国情人节",
    "0202=龙抬头节",
    "0323=妈祖生辰 (天上圣母诞辰)",
    "0505=端午节",
    "0707=七夕中国情人节",
    "0715=中元节",
    "0815=中秋节",
    "0909=重阳节",
    "1208=腊八节",
    "1223=灶君(祭灶)节",
    "1224=小年",
};
constexpr std::string_view kWeekFestivals[] = {
    "0110=黑人日",
    "0150=世界麻风日",
    "0520=母亲节",
    "0530=全国助残日",
    "0630=父亲节",
    "0911=劳动节",
    "0932=国际和平日",
    "0940=国际聋人节 世界儿童日",
    "0950=世界海事日",
    "1011=国际住房日",
    "1013=国际减轻自然灾害日(减灾日)",
    "1144=感恩节",
};

constexpr int32_t kSolarColor = 0x0000FF;  // red
constexpr int32_t kLunarColor = 0x800080;  // purple
constexpr int32_t kWeekColor = 0x800000;   // navy

bool LessText(const TColorStringList::Line& line, std::string_view text) {
    return CompareNoCase(line.text, text) < 0;
}

// Gregorian parts of a date the look-ups can key on; false for NaN and values
// outside the years 1..9999.
bool DateOf(TDateTime x, DateParts& parts) {
    static const double kFirst = static_cast<double>(DaysFromCivil(1, 1, 1));
    static const double kEnd = static_cast<double>(DaysFromCivil(10000, 1, 1));
    if (!(x >= kFirst && x < kEnd))
        return false;
    parts = DecodeDate(x);
    return true;
}

// A look-up key, kept without an allocation: the look-ups run for every day
// a calendar shows.
class TDayKey {
public:
    // Two numbers 0..99 each as two digits: MMDD.
    TDayKey(int first, int second) : size_(4) {
        text_[0] = static_cast<char>('0' + first / 10);
        text_[1] = static_cast<char>('0' + first % 10);
        text_[2] = static_cast<char>('0' + second / 10);
        text_[3] = static_cast<char>('0' + second % 10);
    }
    // A month as two digits and two single digits: MMNW.
    TDayKey(int month, int digit, int last) : TDayKey(month, 0) {
        text_[2] = static_cast<char>('0' + digit);
        text_[3] = static_cast<char>('0' + last);
    }
    // Any other text up to the 22 characters of two printed ints.
    explicit TDayKey(std::string_view text) : size_(std::min(text.size(), sizeof text_)) {
        std::copy_n(text.begin(), size_, text_);
    }
    std::string_view View() const { return {text_, size_}; }

private:
    char text_[24];
    size_t size_;
};

bool TwoDigits(int n) {
    return n >= 0 && n <= 99;
}

// The lunar key MMDD; a month or day outside two digits keys as it prints.
TDayKey LunarKey(const LunarDate& lunar) {
    if (TwoDigits(lunar.Month) && TwoDigits(lunar.Day))
        return TDayKey(lunar.Month, lunar.Day);
    return TDayKey(ZeroPad(lunar.Month, 2) + ZeroPad(lunar.Day, 2));
}

TDayKey SolarKey(const DateParts& d) {
    return TDayKey(d.month, d.day);
}

// Week-rule keys of a date: the n-th such weekday of the month, then the
// same weekday counted back from the month's end.
struct TWeekKeys {
    TDayKey nth, last;
};
TWeekKeys WeekKeys(TDateTime x, const DateParts& d) {
    const int weekday = DayOfWeek(x) - 1;
    return {TDayKey(d.month, (d.day - 1) / 7 + 1, weekday),
            TDayKey(d.month, (DaysInMonth(d.year, d.month) - d.day) / 7 + 5, weekday)};
}

using Line = TColorStringList::Line;

FestivalMatch MatchOf(const Line* line) {
    if (line == nullptr)
        return {};
    return {line->text.substr(line->text.find('=') + 1), line->color};
}

// The weekday-rule line of a date: the last-week rule, when present, wins.
const Line* WeekLine(const TColorStringList& list, TDateTime date, const DateParts& d,
                     bool wholeLine) {
    const TWeekKeys keys = WeekKeys(date, d);
    auto find = [&](const TDayKey& key) -> const Line* {
        if (!wholeLine)
            return list.FindKey(key.View());
        const int i = list.IndexOf(key.View());
        return i < 0 ? nullptr : &list[static_cast<size_t>(i)];
    };
    const Line* byLast = find(keys.last);
    return byLast != nullptr ? byLast : find(keys.nth);
}

const Line* WeekLine(const TColorStringList& list, TDateTime date, bool wholeLine) {
    DateParts d;
    return DateOf(date, d) ? WeekLine(list, date, d, wholeLine) : nullptr;
}

int32_t MarkColor(const TColorStringList& marks, std::string_view key) {
    const int i = marks.IndexOf(key);
    return i < 0 ? kNoColor : marks[static_cast<size_t>(i)].color;
}

void Join(FestivalMatch& into, const Line* found) {
    if (found == nullptr)
        return;
    const FestivalMatch f = MatchOf(found);
    into.text = std::string(Trim(into.text + " " + f.text));
    if (into.color == kNoColor)
        into.color = f.color;
}

template <size_t N>
TColorStringList TableOf(const std::string_view (&lines)[N], int32_t color) {
    TColorStringList list;
    for (std::string_view line : lines)
        list.Add(line, color);
    return list;
}

}  // namespace

TColorStringList::TColorStringList(std::initializer_list<std::string_view> lines) {
    for (std::string_view line : lines)
        Add(line, 0);
}

TColorStringList::TColorStringList(const std::vector<std::string>& lines) {
    for (const std::string& line : lines)
        Add(line, 0);
}

namespace {

// Bytes past the end count as 0, below every byte of a text: a text sorts
// before the longer ones it begins, and two heads that are equal say nothing.
uint32_t HeadOf(std::string_view text) {
    uint32_t head = 0;
    for (size_t i = 0; i < 4; ++i)
        head = head << 8 | (i < text.size() ? FoldAscii(text[i]) : 0u);
    return head;
}

}  // namespace

size_t TColorStringList::LowerBound(std::string_view text) const {
    const uint32_t head = HeadOf(text);
    size_t at =
        static_cast<size_t>(std::lower_bound(heads_.begin(), heads_.end(), head) - heads_.begin());
    // Few lines begin alike: walk them.
    while (at < lines_.size() && heads_[at] == head && LessText(lines_[at], text))
        ++at;
    return at;
}

bool TColorStringList::Add(std::string_view text, int32_t color) {
    const size_t at = LowerBound(text);
    if (at < lines_.size() && EqualsNoCase(lines_[at].text, text))
        return false;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), Line{std::string(text), color});
    heads_.insert(heads_.begin() + static_cast<std::ptrdiff_t>(at), HeadOf(text));
    return true;
}

int TColorStringList::IndexOf(std::string_view text) const {
    const size_t at = LowerBound(text);
    if (at == lines_.size() || !EqualsNoCase(lines_[at].text, text))
        return -1;
    return static_cast<int>(at);
}

void TColorStringList::Delete(int index) {
    if (index < 0 || static_cast<size_t>(index) >= lines_.size())
        return;
    lines_.erase(lines_.begin() + index);
    heads_.erase(heads_.begin() + index);
}

const TColorStringList::Line* TColorStringList::FindKey(std::string_view key) const {
    // Lines "key=..." sort together, right after a bare "key" line if any.
    // Keys are a few digits: the look-up runs for every day a calendar
    // shows, so the prefix is built without an allocation.
    char buffer[32];
    std::string longPrefix;
    std::string_view prefix;
    if (key.size() < sizeof buffer) {
        std::copy(key.begin(), key.end(), buffer);
        buffer[key.size()] = '=';
        prefix = std::string_view(buffer, key.size() + 1);
    } else {
        longPrefix = std::string(key) + "=";
        prefix = longPrefix;
    }
    const size_t at = LowerBound(prefix);
    if (at == lines_.size() ||
        !EqualsNoCase(std::string_view(lines_[at].text).substr(0, prefix.size()), prefix)) {
        return nullptr;
    }
    return &lines_[at];
}

TFestivalList::TFestivalList()
    : solarFestivals_(TableOf(kSolarFestivals, kSolarColor)),
      lunarFestivals_(TableOf(kLunarFestivals, kLunarColor)),
      weekFestivals_(TableOf(kWeekFestivals, kWeekColor)) {
    AddFestival(ftWeek, "0520", kWeekColor, "国际母亲节");
}

void TFestivalList::LoadWindowTables() {
    SetSolarFestivals(TableOf(kSolarFestivals, 0));
    SetLunarFestivals(TableOf(kLunarFestivals, 0));
    SetWeekFestivals(TableOf(kWeekFestivals, 0));
}

TColorStringList* TFestivalList::FestivalsOf(int type) {
    switch (type) {
        case ftSolar:
            return &solarFestivals_;
        case ftLunar:
            return &lunarFestivals_;
        case ftWeek:
            return &weekFestivals_;
        default:
            return nullptr;
    }
}

TColorStringList* TFestivalList::MarksOf(int type) {
    switch (type) {
        case ftSolar:
            return &solarMarks_;
        case ftLunar:
            return &lunarMarks_;
        case ftWeek:
            return &weekMarks_;
        default:
            return nullptr;
    }
}

bool TFestivalList::AddFestival(int type, std::string_view key, int32_t color,
                                std::string_view text) {
    TColorStringList* list = FestivalsOf(type);
    text = Trim(text);
    // A "=" in the key would split the line elsewhere than at the key's end.
    if (list == nullptr || key.empty() || key.find('=') != std::string_view::npos || text.empty()) {
        return false;
    }
    while (const TColorStringList::Line* old = list->FindKey(key)) {
        list->Delete(list->IndexOf(old->text));
    }
    list->Add(std::string(key) + "=" + std::string(text), color);
    return true;
}

bool TFestivalList::AddMark(int type, std::string_view key, int32_t color) {
    TColorStringList* list = MarksOf(type);
    if (list == nullptr || key.empty())
        return false;
    list->Delete(list->IndexOf(key));
    list->Add(key, color);
    return true;
}

void TFestivalList::DeleteMark(int type, std::string_view key) {
    if (TColorStringList* list = MarksOf(type))
        list->Delete(list->IndexOf(key));
}

namespace {

const Line* SolarLine(const TColorStringList& list, TDateTime date) {
    DateParts d;
    if (!DateOf(date, d))
        return nullptr;
    return list.FindKey(SolarKey(d).View());
}

}  // namespace

FestivalMatch TFestivalList::SolarFestivalOf(TDateTime date) const {
    return MatchOf(SolarLine(solarFestivals_, date));
}

FestivalMatch TFestivalList::LunarFestivalOf(const LunarDate& lunar) const {
    return MatchOf(lunarFestivals_.FindKey(LunarKey(lunar).View()));
}

FestivalMatch TFestivalList::WeekFestivalOf(TDateTime date) const {
    return MatchOf(WeekLine(weekFestivals_, date, false));
}

int32_t TFestivalList::SolarMarkColorOf(TDateTime date) const {
    DateParts d;
    if (!DateOf(date, d))
        return kNoColor;
    return MarkColor(solarMarks_, SolarKey(d).View());
}

int32_t TFestivalList::LunarMarkColorOf(const LunarDate& lunar) const {
    return MarkColor(lunarMarks_, LunarKey(lunar).View());
}

int32_t TFestivalList::WeekMarkColorOf(TDateTime date) const {
    const Line* line = WeekLine(weekMarks_, date, true);
    return line == nullptr ? kNoColor : line->color;
}

FestivalMatch TFestivalList::FestivalTextOf(TDateTime date) const {
    return FestivalTextOf(date, SolarToLunar(date), SolarToLunar(date + 1));
}

FestivalMatch TFestivalList::FestivalTextOf(TDateTime date, const LunarDate& today,
                                            const LunarDate& tomorrow) const {
    FestivalMatch result;
    if (tomorrow.Month != today.Month) {
        // The last day of a lunar month carries the key MM00 of the next month.
        LunarDate monthEnd = tomorrow;
        monthEnd.Day = 0;
        Join(result, lunarFestivals_.FindKey(LunarKey(monthEnd).View()));
    }
    Join(result, lunarFestivals_.FindKey(LunarKey(today).View()));
    DateParts d;
    if (DateOf(date, d)) {
        Join(result, solarFestivals_.FindKey(SolarKey(d).View()));
        Join(result, WeekLine(weekFestivals_, date, d, false));
    }
    return result;
}

int32_t TFestivalList::MarkColorOf(TDateTime date) const {
    const int32_t lunar = LunarMarkColorOf(SolarToLunar(date));
    if (lunar != kNoColor)
        return lunar;
    const int32_t solar = SolarMarkColorOf(date);
    if (solar != kNoColor)
        return solar;
    return WeekMarkColorOf(date);
}

std::string CalendarHintText(TDateTime day, const TFestivalList& festivals, bool useISO8601) {
    const LunarDate l = SolarToLunar(day);
    std::string text = "公元= " + FormatDateTime("yyyy年m月d日 dddd", day) + "  第" +
                       std::to_string(WeekOfYear(day, useISO8601)) + "周\n";
    text += "农历= " + LunarYearText(l.Year) + LunarMonthText(l.Month, l.IsLeap) +
            LunarDayText(l.Day) + "\n";
    text += "干支= " + GanZhiLineText(day);
    const FestivalMatch f = festivals.FestivalTextOf(day);
    if (!f.text.empty())
        text += "\n节日= " + f.text;
    return text;
}

}  // namespace tempora
