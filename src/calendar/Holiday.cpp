#include "Holiday.h"

#include "core/Encoding.h"
#include "core/LineFile.h"
#include "core/Text.h"

#include <algorithm>
#include <optional>
#include <set>
#include <string_view>

namespace tempora {

namespace {

constexpr int kFirstYear = 1901;  // the calendar's range, less the December before it
constexpr int kLastYear = 2100;

std::vector<std::string_view> SplitBars(std::string_view line) {
    std::vector<std::string_view> fields;
    size_t start = 0;
    for (;;) {
        const size_t bar = line.find('|', start);
        fields.push_back(
            Trim(line.substr(start, bar == std::string_view::npos ? bar : bar - start)));
        if (bar == std::string_view::npos)
            return fields;
        start = bar + 1;
    }
}

bool AllDigits(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool LooksLikeDate(std::string_view s) {
    return s.size() == 10 && s[4] == '-' && s[7] == '-' && AllDigits(s.substr(0, 4)) &&
           AllDigits(s.substr(5, 2)) && AllDigits(s.substr(8, 2));
}

// A line of the file, or why it is not one.
struct TLine {
    enum { Skip, Header, Entry, Bad } type = Skip;
    int year = 0;  // Header
    std::string source, published;
    int64_t day = 0;  // Entry
    HolidayInfo info;
    std::string why;  // Bad
};

TLine Bad(std::string why) {
    TLine line;
    line.type = TLine::Bad;
    line.why = std::move(why);
    return line;
}

TLine ParseHeader(std::string_view text) {
    const std::vector<std::string_view> f = SplitBars(text.substr(1));
    const std::string_view year = f[0];
    if (year.size() != 4 || !AllDigits(year) || f.size() > 3)
        return Bad("年份格式不明：" + std::string(text));
    TLine line;
    line.type = TLine::Header;
    line.year = std::stoi(std::string(year));
    if (line.year < kFirstYear || line.year > kLastYear)
        return Bad("年份超出范围：" + std::string(year));
    if (f.size() > 1)
        line.source = f[1];
    if (f.size() > 2 && !f[2].empty()) {
        TDateTime date = 0;
        if (!LooksLikeDate(f[2]) || !ParseStamp(std::string(f[2]), date))
            return Bad("通知日期无效：" + std::string(f[2]));
        line.published = f[2];
    }
    return line;
}

TLine ParseEntry(std::string_view text) {
    const std::vector<std::string_view> f = SplitBars(text);
    if (f.size() != 3)
        return Bad("应为“日期|名称|1 或 0”：" + std::string(text));
    TDateTime date = 0;
    if (!LooksLikeDate(f[0]))
        return Bad("日期格式不明：" + std::string(f[0]));
    if (!ParseStamp(std::string(f[0]), date))
        return Bad("日期不存在：" + std::string(f[0]));
    if (f[1].empty())
        return Bad("缺少名称");
    TLine line;
    line.type = TLine::Entry;
    if (f[2] == "1") {
        line.info.kind = HolidayKind::DayOff;
    } else if (f[2] == "0") {
        line.info.kind = HolidayKind::WorkDay;
    } else {
        return Bad("应为 1（休）或 0（班）：" + std::string(f[2]));
    }
    line.info.name = f[1];
    line.day = DayNumber(date);
    return line;
}

TLine ParseLine(std::string_view raw) {
    const std::string_view text = Trim(raw);
    if (text.empty() || text.front() == '#')
        return {};
    if (text.front() == '@')
        return ParseHeader(text);
    if (text.find('|') == std::string_view::npos)
        return Bad("无法识别：" + std::string(text.substr(0, 40)));
    return ParseEntry(text);
}

// The year an entry outside any header belongs to: its own, but a December
// working day makes up for the next New Year.
int YearByDate(int64_t day, HolidayKind kind) {
    const DateParts d = CivilFromDays(day);
    return kind == HolidayKind::WorkDay && d.month == 12 ? d.year + 1 : d.year;
}

// Whether an entry fits under a header of `year`: the December before to the
// year's end.
bool WithinYear(int64_t day, int year) {
    return day >= DaysFromCivil(year - 1, 12, 1) && day <= DaysFromCivil(year, 12, 31);
}

std::string LineMessage(size_t number, const std::string& why) {
    return "第 " + std::to_string(number) + " 行：" + why;
}

bool HasControlBytes(std::string_view line) {
    return std::any_of(line.begin(), line.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return (u < 0x20 && c != '\t') || u == 0x7F;
    });
}

}  // namespace

bool THolidayYear::Complete(int year) const {
    for (const int month : {1, 5, 10}) {
        const auto it = days.find(DaysFromCivil(year, month, 1));
        if (it == days.end() || it->second.kind != HolidayKind::DayOff)
            return false;
    }
    return true;
}

size_t THolidayList::LoadFromLines(const std::vector<std::string>& utf8Lines) {
    years_.clear();
    int section = 0;
    for (const std::string& raw : utf8Lines) {
        const TLine line = ParseLine(raw);
        if (line.type == TLine::Header) {
            section = line.year;
            THolidayYear& year = years_[section];
            year.source = line.source;
            year.published = line.published;
        } else if (line.type == TLine::Bad && Trim(raw).front() == '@') {
            section = 0;  // a damaged header: its entries go by their dates
        } else if (line.type == TLine::Entry) {
            const int year = section != 0 && WithinYear(line.day, section)
                                 ? section
                                 : YearByDate(line.day, line.info.kind);
            years_[year].days[line.day] = line.info;
        }
    }
    Rebuild();
    return index_.size();
}

bool THolidayList::LoadFromFile(const std::string& path) {
    std::vector<std::string> lines;
    const bool read = ReadLineFile(path, lines);
    LoadFromLines(lines);
    return read;
}

void THolidayList::Rebuild() {
    index_.clear();
    for (const auto& [year, notice] : years_)
        for (const auto& [day, info] : notice.days)
            index_[day] = info;
}

HolidayInfo THolidayList::Of(TDateTime date) const {
    // Not finite or far outside the calendar: no day can match.
    if (!(date > -1e9 && date < 1e9))
        return {};
    const auto it = index_.find(DayNumber(date));
    return it == index_.end() ? HolidayInfo{} : it->second;
}

std::vector<int> THolidayList::CoveredYears() const {
    std::vector<int> covered;
    for (const auto& [year, notice] : years_)
        if (notice.Complete(year))
            covered.push_back(year);
    return covered;
}

bool THolidayList::Covers(int year) const {
    const auto it = years_.find(year);
    return it != years_.end() && it->second.Complete(year);
}

const THolidayYear* THolidayList::YearOf(TDateTime date) const {
    if (!(date > -1e9 && date < 1e9))
        return nullptr;
    const int64_t day = DayNumber(date);
    // The later year first: its December make-up days are the ones that count.
    for (auto it = years_.rbegin(); it != years_.rend(); ++it)
        if (it->second.days.count(day))
            return &it->second;
    return nullptr;
}

std::vector<THolidayChange> THolidayList::PlanMerge(const THolidayList& incoming) const {
    std::vector<THolidayChange> changes;
    for (const auto& [year, notice] : incoming.years_) {
        const auto own = years_.find(year);
        if (own == years_.end()) {
            if (!notice.days.empty())
                changes.push_back({year, false});
        } else if (notice.Complete(year) &&
                   (!own->second.Complete(year) ||
                    (own->second != notice && notice.published > own->second.published))) {
            changes.push_back({year, true});
        }
    }
    return changes;
}

std::vector<THolidayChange> THolidayList::Merge(const THolidayList& incoming) {
    std::vector<THolidayChange> changes = PlanMerge(incoming);
    TakeYears(incoming, changes);
    return changes;
}

void THolidayList::TakeYears(const THolidayList& from, const std::vector<THolidayChange>& changes) {
    for (const THolidayChange& change : changes) {
        const auto it = from.years_.find(change.year);
        if (it != from.years_.end())
            years_[change.year] = it->second;
    }
    Rebuild();
}

std::vector<std::string> THolidayList::Lines() const {
    std::vector<std::string> lines = {
        "# 法定节假日：@年份|通知文号|发布日期，其下每行一天：日期|名称|1 放假，0 调休上班。"};
    for (const auto& [year, notice] : years_) {
        std::string header = "@" + std::to_string(year);
        if (!notice.source.empty() || !notice.published.empty())
            header += "|" + notice.source + "|" + notice.published;
        lines.push_back(header);
        for (const auto& [day, info] : notice.days) {
            lines.push_back(FormatDateTime("yyyy-mm-dd", static_cast<TDateTime>(day)) + "|" +
                            info.name + (info.kind == HolidayKind::DayOff ? "|1" : "|0"));
        }
    }
    return lines;
}

bool THolidayList::SaveToFile(const std::string& path) const {
    return WriteLineFile(path, Lines());
}

THolidayCheck CheckHolidayFile(const std::string& bytes, THolidayList& out) {
    if (bytes.size() > kHolidayFileLimit)
        return {false, 0, "文件过大，不是假日安排"};
    static constexpr std::string_view kBom = "\xEF\xBB\xBF";
    const bool utf8 = std::string_view(bytes).substr(0, kBom.size()) == kBom;
    const std::vector<std::string> raw = SplitLines(utf8 ? bytes.substr(kBom.size()) : bytes);

    std::vector<std::string> lines;
    std::map<int, size_t> firstLine;  // per year: its header's or first entry's line
    std::map<int64_t, HolidayKind> kinds;
    std::set<int> headers;
    int section = 0;
    for (size_t i = 0; i < raw.size(); ++i) {
        const size_t number = i + 1;
        if (HasControlBytes(raw[i]) || !(utf8 ? IsValidUtf8(raw[i]) : IsValidGbk(raw[i])))
            return {false, number, LineMessage(number, "含有非文本内容")};
        std::string text = utf8 ? raw[i] : GbkToUtf8(raw[i]);
        if (text.find("\xEF\xBF\xBD") != std::string::npos)
            return {false, number, LineMessage(number, "含有非文本内容")};
        const TLine line = ParseLine(text);
        if (line.type == TLine::Bad)
            return {false, number, LineMessage(number, line.why)};
        if (line.type == TLine::Header) {
            if (!headers.insert(line.year).second)
                return {false, number,
                        LineMessage(number, std::to_string(line.year) + " 年出现两次")};
            section = line.year;
            firstLine.emplace(section, number);
        } else if (line.type == TLine::Entry) {
            if (section != 0 && !WithinYear(line.day, section)) {
                return {false, number,
                        LineMessage(number, "不在 " + std::to_string(section) + " 年的范围内")};
            }
            const int year = section != 0 ? section : YearByDate(line.day, line.info.kind);
            if (year < kFirstYear || year > kLastYear)
                return {false, number, LineMessage(number, "日期超出范围")};
            const auto [it, added] = kinds.emplace(line.day, line.info.kind);
            if (!added && it->second != line.info.kind)
                return {false, number, LineMessage(number, "同一天既是休又是班")};
            firstLine.emplace(year, number);
        }
        lines.push_back(std::move(text));
    }
    THolidayList list;
    list.LoadFromLines(lines);
    std::optional<std::pair<size_t, int>> cut;  // the first year cut short
    for (const auto& [year, number] : firstLine) {
        const auto it = list.Years().find(year);
        if ((it == list.Years().end() || !it->second.Complete(year)) &&
            (!cut || number < cut->first))
            cut = std::pair{number, year};
    }
    if (cut) {
        return {false, cut->first,
                LineMessage(cut->first, std::to_string(cut->second) +
                                            " 年的安排不完整（元旦、劳动节、国庆节须都有休息日）")};
    }
    if (list.Years().empty())
        return {false, 0, "文件里没有任何年份的假日安排"};
    out = std::move(list);
    return {true, 0, {}};
}

std::string DescribeChanges(const THolidayList& incoming,
                            const std::vector<THolidayChange>& changes) {
    std::string text;
    for (const THolidayChange& change : changes) {
        const auto it = incoming.Years().find(change.year);
        if (it == incoming.Years().end())
            continue;
        const THolidayYear& notice = it->second;
        const auto off = std::count_if(notice.days.begin(), notice.days.end(), [](const auto& d) {
            return d.second.kind == HolidayKind::DayOff;
        });
        const auto work = static_cast<std::ptrdiff_t>(notice.days.size()) - off;
        if (!text.empty())
            text += "\r\n";
        text += std::to_string(change.year) + "年：" + (change.replaces ? "更新" : "新增") +
                "，休 " + std::to_string(off) + " 天，班 " + std::to_string(work) + " 天";
        const std::string joined = notice.source + " " + notice.published;
        const std::string_view from = Trim(joined);
        if (!from.empty())
            text += "（" + std::string(from) + "）";
    }
    return text;
}

}  // namespace tempora
