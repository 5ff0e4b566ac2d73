#include "calendar/SpokenDay.h"

#include "calendar/LunarCal.h"
#include "core/Text.h"

#include <cmath>
#include <string_view>

namespace tempora {

namespace {

// The festivals that have a recording, keyed as the festival tables key
// them: Gregorian MMDD, lunar MMDD (0100: the last day of the year), and a
// weekday rule MMNW (the N-th weekday W of month MM).
struct SpokenFestival {
    char type;  // 'G', 'L' or 'W'
    std::string_view key;
};
constexpr SpokenFestival kFestivals[] = {
    {'G', "0101"}, {'G', "0214"}, {'G', "0308"}, {'G', "0312"}, {'G', "0501"}, {'G', "0504"},
    {'G', "0601"}, {'G', "0701"}, {'G', "0801"}, {'G', "0910"}, {'G', "1001"}, {'G', "1224"},
    {'G', "1225"}, {'L', "0100"}, {'L', "0101"}, {'L', "0115"}, {'L', "0202"}, {'L', "0505"},
    {'L', "0707"}, {'L', "0715"}, {'L', "0815"}, {'L', "0909"}, {'L', "1208"}, {'L', "1224"},
    {'W', "0520"}, {'W', "0630"}, {'W', "1144"},
};

// A number word of the spoken time; two is "2A" (二) rather than "2" (两).
std::string Digit(int n) {
    return n == 2 ? "2A" : std::to_string(n);
}

// 1 .. 31 as counted: 十三 is 10 3, 二十一 is 2A 10 1, 三十一 is 30 1.
void AddNumber(std::vector<std::string>& words, int n) {
    if (n <= 12) {
        words.push_back(Digit(n));
    } else if (n < 20) {
        words.push_back("10");
        words.push_back(Digit(n % 10));
    } else if (n < 30) {
        words.push_back("2A");
        words.push_back("10");
        if (n % 10)
            words.push_back(Digit(n % 10));
    } else {
        words.push_back("30");
        if (n % 10)
            words.push_back(Digit(n % 10));
    }
}

void AddLunarMonth(std::vector<std::string>& words, const LunarDate& l) {
    if (l.IsLeap)
        words.push_back("Run");
    if (l.Month == 1)
        words.push_back("Zheng");
    else if (l.Month == 12)
        words.push_back("La");
    else
        AddNumber(words, l.Month);
    words.push_back("Yue");
}

// 初一 .. 初十, 十一 .. 十九, 二十, 廿一 .. 廿九, 三十.
void AddLunarDay(std::vector<std::string>& words, int day) {
    if (day <= 10) {
        words.push_back("Chu");
        words.push_back(Digit(day));
    } else if (day > 20 && day < 30) {
        words.push_back("Nian");
        words.push_back(Digit(day % 10));
    } else {
        AddNumber(words, day);
    }
}

bool IsFestival(const SpokenFestival& f, TDateTime day, const DateParts& d, const LunarDate& l) {
    const int month = (f.key[0] - '0') * 10 + (f.key[1] - '0');
    switch (f.type) {
        case 'G':
            return FormatMMDD(day) == f.key;
        case 'L': {
            if (l.Month == 0 || l.IsLeap)
                return false;
            if (f.key == "0100") {  // the eve: the day before the next year's first
                const LunarDate next = SolarToLunar(day + 1);
                return next.Month == 1 && next.Day == 1 && !next.IsLeap;
            }
            return l.Month == month && l.Day == (f.key[2] - '0') * 10 + (f.key[3] - '0');
        }
        default: {
            if (d.month != month || DayOfWeek(day) - 1 != f.key[3] - '0')
                return false;
            const int n = f.key[2] - '0';
            return n <= 4 ? (d.day - 1) / 7 + 1 == n
                          : (DaysInMonth(d.year, d.month) - d.day) / 7 + 5 == n;
        }
    }
}

}  // namespace

std::vector<std::string> SpokenDayWords(TDateTime day) {
    day = std::floor(day);
    const DateParts d = DecodeDate(day);
    std::vector<std::string> words = {"JT"};
    AddNumber(words, d.month);
    words.push_back("Yue");
    AddNumber(words, d.day);
    words.push_back("Ri");
    words.push_back("XQ");
    const int weekday = DayOfWeek(day) - 1;
    words.push_back(weekday == 0 ? "Ri" : Digit(weekday));
    const LunarDate l = SolarToLunar(day);
    if (l.Month != 0) {
        words.push_back("NL");
        AddLunarMonth(words, l);
        AddLunarDay(words, l.Day);
    }
    const int term = SolarTermIndexOfDay(day);
    if (term >= 0)
        words.push_back("J" + ZeroPad(term, 2));
    for (const SpokenFestival& f : kFestivals) {
        if (IsFestival(f, day, d, l))
            words.push_back(std::string("F") + f.type + std::string(f.key));
    }
    return words;
}

}  // namespace tempora
