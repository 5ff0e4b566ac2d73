// Deleting a day's marks, "清除标记": the day's Gregorian and lunar month and
// day, and two boxes, both ticked at the start, that say which of the two
// marks go.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "calendar/CalendarDialog_win.h"
#include "calendar/CalendarMarks.h"

namespace tempora {

class TFrmMsgDelMark : public TDialog {
public:
    static constexpr int kWidth = 300, kHeight = 156;  // the client area
    static constexpr wchar_t kClassName[] = L"TFrmMsgDelMark";
    enum : int {
        Label1Id = 101,  // the message
        CheckBox1Id,     // 删除公历标记
        CheckBox2Id,     // 删除农历标记
    };

    bool Create(HWND owner, std::string_view message);
    // The boxes as they were at OK.
    bool Solar() const { return solar_; }
    bool Lunar() const { return lunar_; }

protected:
    void Command(int, int) override {}
    bool Accept() override;

private:
    bool solar_ = true, lunar_ = true;
};

struct DelMarkChoice {
    bool solar = false;  // 删除公历标记
    bool lunar = false;  // 删除农历标记
    bool operator==(const DelMarkChoice&) const = default;
};

// "公历：MM月DD日   农历：MM月DD日" for the two keys MMDD.
std::string DelMarkMessage(std::string_view solarKey, std::string_view lunarKey);

// Runs the dialog over `owner`; the boxes' states on OK, nothing on cancel.
std::optional<DelMarkChoice> RunDelMark(HWND owner, std::string_view message);

// "取消标记" on `day`: finds its lunar key for the current year (an
// impossible day warns and gives up), asks which marks go and deletes them
// from the marks and the festival list. True when the user said OK; the
// caller then repaints and saves.
bool DeleteDayMarks(HWND owner, TCalendarMarks& marks, TFestivalList& festivals, TDateTime day);

}  // namespace tempora
