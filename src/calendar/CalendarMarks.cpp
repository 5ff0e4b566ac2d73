#include "CalendarMarks.h"

#include "core/ClockSource.h"
#include "core/Encoding.h"
#include "core/FileSys.h"
#include "core/LineFile.h"
#include "core/Text.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

namespace tempora {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The two-digit number at `pos` of a key; 1 when it is no number, as the
// keys typed into the editor's boxes are read.
int KeyPart(std::string_view key, size_t pos) {
    int64_t n = 1;
    if (pos >= key.size() || !ParseInt(key.substr(pos, 2), n))
        return 1;
    return static_cast<int>(n);
}

std::string KeyOf(int month, int day) {
    return ZeroPad(month, 2) + ZeroPad(day, 2);
}

int Digits(std::string_view two) {
    return (two[0] - '0') * 10 + (two[1] - '0');
}

// Marks.rec as UTF-8 text. The program writes GBK; a file saved as UTF-8 by
// hand reads as such when it says so (the byte-order mark) or when it is
// well-formed UTF-8 whose characters beyond ASCII are all three or four bytes
// long, as Chinese text is. GBK text rarely passes that test: its common
// characters read as stray continuation bytes or as two-byte sequences.
bool LooksLikeUtf8(std::string_view bytes) {
    bool wide = false;
    for (size_t i = 0; i < bytes.size();) {
        const size_t len = Utf8SequenceLength(bytes, i);
        if (len == 1 && static_cast<unsigned char>(bytes[i]) >= 0x80)
            return false;
        if (len == 2)
            return false;
        wide = wide || len > 2;
        i += len;
    }
    return wide && IsValidUtf8(bytes);
}

std::string DecodeMarksFile(std::string_view raw) {
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    if (raw.starts_with(kBom) && IsValidUtf8(raw.substr(kBom.size())))
        return std::string(raw.substr(kBom.size()));
    if (LooksLikeUtf8(raw))
        return std::string(raw);
    return GbkToUtf8(raw);
}

std::string CleanNote(std::string_view note) {
    std::string text(note);
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = ' ';
    }
    return CutToGbkBytes(text, kMarkNoteMaxBytes);
}

int TypeOf(std::string_view name) {
    return name[0] - '0';
}

}  // namespace

bool IsCalendarDate(TDateTime x) {
    return std::isfinite(x) && x >= static_cast<double>(DaysFromCivil(1, 1, 1)) &&
           x < static_cast<double>(DaysFromCivil(10000, 1, 1));
}

bool IsPossibleMarkDay(std::string_view name) {
    if (!IsMarkName(name))
        return false;
    if (TypeOf(name) != TFestivalList::ftSolar)
        return true;
    // A leap year has every month-day any year has.
    return Digits(name.substr(3, 2)) <= DaysInMonth(2000, Digits(name.substr(1, 2)));
}

bool IsMarkName(std::string_view name) {
    if (name.size() != 5 || !std::all_of(name.begin(), name.end(), IsDigit))
        return false;
    const int month = Digits(name.substr(1, 2));
    switch (TypeOf(name)) {
        case TFestivalList::ftSolar:
        case TFestivalList::ftLunar: {
            const int day = Digits(name.substr(3, 2));
            return month >= 1 && month <= 12 && day >= 1 && day <= 31;
        }
        case TFestivalList::ftWeek:
            // The n-th weekday (1-5) or the n-th counted back from the month's end (5-9).
            return month >= 1 && month <= 12 && name[3] >= '1' && name[4] <= '6';
        default:
            return true;
    }
}

std::string MarkNoteCounterText(std::string_view note) {
    return std::to_string(GbkLength(note)) + "/" + std::to_string(kMarkNoteMaxBytes) + "字节";
}

std::string CutToGbkBytes(std::string_view text, size_t maxBytes) {
    size_t bytes = 0, end = 0;
    while (end < text.size()) {
        const size_t len = Utf8SequenceLength(text, end);
        const size_t gbk = GbkLength(text.substr(end, len));
        if (bytes + gbk > maxBytes)
            break;
        bytes += gbk;
        end += len;
    }
    return std::string(text.substr(0, end));
}

std::optional<std::string> LunarKeyOf(std::string_view solarKey) {
    const int year = DecodeDate(ClockSource::Current().NowLocal()).year;
    const int month = KeyPart(solarKey, 0), day = KeyPart(solarKey, 2);
    if (!IsValidDate(year, month, day))
        return std::nullopt;
    const LunarDate lunar = SolarToLunar(EncodeDate(year, month, day));
    if (lunar.Month == 0)
        return std::nullopt;
    return KeyOf(lunar.Month, lunar.Day);
}

std::string SolarKeyOf(std::string_view lunarKey) {
    LunarDate lunar = SolarToLunar(ClockSource::Current().NowLocal());
    lunar.Month = KeyPart(lunarKey, 0);
    lunar.Day = KeyPart(lunarKey, 2);
    const TDateTime solar = LunarToSolar(lunar);
    if (solar == kNoSolarDate)
        return "0101";
    const DateParts d = DecodeDate(solar);
    return KeyOf(d.month, d.day);
}

void TCalendarMarks::LoadMarks(const std::string& dataDir, TFestivalList& festivals) {
    std::string raw;
    if (!ReadFileBytes(dataDir + kMarksFileName, raw))
        raw.clear();  // a missing or unreadable file holds no marks
    ReadMarks(raw, festivals);
    if (!ReadFileBytes(dataDir + kMarkRemindersFileName, raw))
        raw.clear();
    ReadReminders(raw);
}

void TCalendarMarks::ReadReminders(std::string_view fileBytes) {
    std::vector<std::string> names;
    for (const std::string& line : lines_)
        names.push_back(line.substr(0, 5));
    reminders_ = ReadMarkReminders(fileBytes, names);
}

void TCalendarMarks::ReadMarks(std::string_view fileBytes, TFestivalList& festivals) {
    for (const std::string& line : lines_)
        UnregisterMark(festivals, line.substr(0, 5));
    lines_.clear();
    reminders_.clear();
    std::unordered_set<std::string> names;  // names hold digits only: no case to fold
    for (const std::string& line : SplitLines(DecodeMarksFile(fileBytes))) {
        if (line.size() < 6 || line[5] != '=')
            continue;
        std::string name = line.substr(0, 5);
        if (!IsDigit(name[0]))
            name[0] = '0';
        if (!IsMarkName(name) || !names.insert(name).second)
            continue;
        lines_.push_back(name + "=" + CleanNote(std::string_view(line).substr(6)));
        RegisterMark(festivals, name);
    }
}

bool TCalendarMarks::SaveMarks(const std::string& dataDir) {
    Sort();
    if (!WriteLineFile(dataDir + kMarksFileName, lines_))
        return false;
    const std::string remindersFile = dataDir + kMarkRemindersFileName;
    const std::vector<std::string> reminderLines = MarkReminderLines(reminders_);
    if (reminderLines.empty() && !FileExists(remindersFile))
        return true;
    return WriteLineFile(remindersFile, reminderLines);
}

void TCalendarMarks::Sort() {
    std::stable_sort(lines_.begin(), lines_.end(), [](const std::string& a, const std::string& b) {
        return CompareNoCase(a, b) < 0;
    });
}

int TCalendarMarks::IndexOfName(std::string_view name) const {
    for (size_t i = 0; i < lines_.size(); ++i) {
        const std::string_view line = lines_[i];
        if (EqualsNoCase(line.substr(0, line.find('=')), name))
            return static_cast<int>(i);
    }
    return -1;
}

void TCalendarMarks::RegisterMark(TFestivalList& festivals, std::string_view name) const {
    if (IsMarkName(name))
        festivals.AddMark(TypeOf(name), name.substr(1), color_);
}

void TCalendarMarks::UnregisterMark(TFestivalList& festivals, std::string_view name) const {
    if (IsMarkName(name))
        festivals.DeleteMark(TypeOf(name), name.substr(1));
}

std::string TCalendarMarks::MarkNoteOf(int type, std::string_view key) const {
    if (type != TFestivalList::ftSolar && type != TFestivalList::ftLunar)
        return {};
    const int i = IndexOfName(std::to_string(type) + std::string(key));
    return i < 0 ? std::string() : lines_[static_cast<size_t>(i)].substr(6);
}

std::string TCalendarMarks::MarksTextOf(TDateTime date) const {
    if (!IsCalendarDate(date))
        return {};
    std::string text = MarkNoteOf(TFestivalList::ftSolar, FormatMMDD(date));
    const LunarDate lunar = SolarToLunar(date);
    const std::string note = MarkNoteOf(TFestivalList::ftLunar, KeyOf(lunar.Month, lunar.Day));
    if (!note.empty())
        text += (text.empty() ? "*" : "  *") + note;
    return text;
}

int TCalendarMarks::PutMark(TFestivalList& festivals, std::string_view name,
                            std::string_view note) {
    if (!IsPossibleMarkDay(name))
        return -1;
    const std::string line = std::string(name) + "=" + CleanNote(note);
    int i = IndexOfName(name);
    if (i >= 0) {
        lines_[static_cast<size_t>(i)] = line;
    } else {
        i = static_cast<int>(lines_.size());
        lines_.push_back(line);
    }
    RegisterMark(festivals, name);
    return i;
}

int TCalendarMarks::EditMarkAt(TFestivalList& festivals, size_t index, std::string_view name,
                               std::string_view note) {
    if (index >= lines_.size() || !IsPossibleMarkDay(name))
        return -1;
    const std::string oldName = lines_[index].substr(0, 5);
    UnregisterMark(festivals, oldName);
    lines_[index] = std::string(name) + "=" + CleanNote(note);
    // The reminder follows its mark to the new day; one the new name had goes.
    const TMarkReminder reminder = ReminderOf(oldName);
    reminders_.erase(oldName);
    SetReminder(name, reminder);
    // The edited mark takes the place of one that had its new name.
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (i != index && EqualsNoCase(std::string_view(lines_[i]).substr(0, 5), name)) {
            lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
            if (i < index)
                --index;
            break;
        }
    }
    RegisterMark(festivals, name);
    return static_cast<int>(index);
}

void TCalendarMarks::DeleteMarkAt(TFestivalList& festivals, size_t index) {
    if (index >= lines_.size())
        return;
    const std::string name = lines_[index].substr(0, 5);
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(index));
    reminders_.erase(name);
    UnregisterMark(festivals, name);
}

void TCalendarMarks::DeleteMark(TFestivalList& festivals, std::string_view name) {
    const int i = IndexOfName(name);
    if (i >= 0) {
        reminders_.erase(lines_[static_cast<size_t>(i)].substr(0, 5));
        lines_.erase(lines_.begin() + i);
    }
    UnregisterMark(festivals, name);
}

TMarkReminder TCalendarMarks::ReminderOf(std::string_view name) const {
    const auto it = reminders_.find(name);
    return it == reminders_.end() ? TMarkReminder{} : it->second;
}

void TCalendarMarks::SetReminder(std::string_view name, const TMarkReminder& reminder) {
    const int i = IndexOfName(name);
    if (i < 0)
        return;
    const std::string key = lines_[static_cast<size_t>(i)].substr(0, 5);
    if (reminder == TMarkReminder{})
        reminders_.erase(key);
    else
        reminders_.insert_or_assign(key, reminder);
}

std::vector<TMarkEntry> TCalendarMarks::Entries() const {
    std::vector<TMarkEntry> entries;
    for (const std::string& line : lines_) {
        const std::string name = line.substr(0, 5);
        entries.push_back({name, line.substr(6), ReminderOf(name)});
    }
    return entries;
}

}  // namespace tempora
