#include "LunarCal.h"

#include "core/Text.h"

#include <array>
#include <string>

namespace tempora {

namespace {

const char* const kStems[10] = {"甲", "乙", "丙", "丁", "戊", "己", "庚", "辛", "壬", "癸"};
const char* const kBranches[12] = {"子", "丑", "寅", "卯", "辰", "巳",
                                   "午", "未", "申", "酉", "戌", "亥"};
const char* const kAnimals[12] = {"鼠", "牛", "虎", "兔", "龙", "蛇",
                                  "马", "羊", "猴", "鸡", "狗", "猪"};
// Index 0 is 日, for Sunday; counting never writes a zero with it except the
// thousands of year 0.
const char* const kNumerals[11] = {"日", "一", "二", "三", "四", "五",
                                   "六", "七", "八", "九", "十"};
const char* const kEnglishShort[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kEnglishLong[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                     "Thursday", "Friday", "Saturday"};

}  // namespace

std::string GanZhiText(int n) {
    // The sixty pairs, made once: calendars ask for three a day.
    static const std::array<std::string, 60> kPairs = [] {
        std::array<std::string, 60> pairs;
        for (int i = 0; i < 60; ++i)
            pairs[static_cast<size_t>(i)] = std::string(kStems[i % 10]) + kBranches[i % 12];
        return pairs;
    }();
    return kPairs[static_cast<size_t>(FloorMod(n, 60))];
}

std::string ZodiacText(int n) {
    return kAnimals[FloorMod(n, 12)];
}

std::string LunarYearText(int year) {
    if (year < 0 || year > 9999)
        year = 0;
    std::string text = kNumerals[year / 1000];
    const int hundreds = year % 1000;
    text += hundreds >= 100 ? kNumerals[hundreds / 100] : "零";
    const int tens = year % 100;
    text += tens >= 10 ? kNumerals[tens / 10] : "零";
    text += year % 10 != 0 ? kNumerals[year % 10] : "零";
    return text + "年";
}

std::string LunarMonthText(int month, bool isLeap) {
    std::string text = isLeap ? "闰" : "";
    if (month == 1) {
        text += "正";
    } else if (month >= 2 && month <= 10) {
        text += kNumerals[month];
    } else if (month == 11) {
        text += "十一";
    } else if (month == 12) {
        text += "腊";
    }
    return text + "月";
}

std::string LunarDayText(int day) {
    if (day >= 1 && day <= 10)
        return std::string("初") + kNumerals[day];
    if (day >= 11 && day <= 19)
        return std::string("十") + kNumerals[day - 10];
    if (day == 20)
        return "二十";
    if (day >= 21 && day <= 29)
        return std::string("廿") + kNumerals[day - 20];
    if (day == 30)
        return "三十";
    return {};
}

std::string WeekdayText(int n) {
    return std::string("星期") + kNumerals[FloorMod(n, 7)];
}

std::string EnglishWeekdayText(int n, bool longName) {
    return longName ? kEnglishLong[FloorMod(n, 7)] : kEnglishShort[FloorMod(n, 7)];
}

std::string LunarDateLineText(TDateTime moment) {
    const LunarDate l = SolarToLunar(moment);
    return LunarYearText(l.Year) + LunarMonthText(l.Month, l.IsLeap) + LunarDayText(l.Day) + " " +
           SolarTermOfDay(moment);
}

std::string GanZhiLineText(TDateTime moment) {
    const GanZhiDate g = GanZhiOf(moment);
    return GanZhiText(g.YearCycle) + "(" + ZodiacText(g.YearCycle) + ")年" +
           GanZhiText(g.MonthCycle) + "月" + GanZhiText(g.DayCycle) + "日";
}

}  // namespace tempora
