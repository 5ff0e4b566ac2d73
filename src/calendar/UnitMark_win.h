// All calendar marks, "日历标记": the sorted marks in a multi-select list,
// one item per line of the marks ("公历" or "农历", a tab, "01月01日", a
// tab, the note), item i always standing for line i, and the buttons
// 添加(&A), 修改(&E), 删除(&D) and 关闭(&C). 修改 and 删除 are enabled while
// at least one item is selected. Every change goes to the marks and the
// festival list at once; saving the file is the caller's.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "calendar/CalendarDialog_win.h"
#include "calendar/CalendarMarks.h"

namespace tempora {

class TFrmMark : public TDialog {
public:
    static constexpr int kWidth = 420, kHeight = 300;  // the client area
    static constexpr wchar_t kClassName[] = L"TFrmMark";
    enum : int {
        ListBox1Id = 101,
        AddButtonId,     // 添加(&A)
        EditButtonId,    // 修改(&E)
        DeleteButtonId,  // 删除(&D)
        Label1Id,        // 所有标记
        // 关闭(&C) is IDCANCEL
    };

    TFrmMark(TCalendarMarks& marks, TFestivalList& festivals)
        : marks_(marks), festivals_(festivals) {}

    // Sorts the marks and lists them.
    bool Create(HWND owner);

protected:
    void Command(int id, int code) override;
    // Enter changes nothing here; only 关闭 and Escape close.
    bool Accept() override { return false; }
    HWND FirstFocus() const override { return Item(ListBox1Id); }

private:
    void ShowLines(int select);
    void UpdateButtons();
    void AddClick();
    void EditClick();
    void DeleteClick();

    TCalendarMarks& marks_;
    TFestivalList& festivals_;
};

// A line of the marks as the list shows it: "公历\t05月01日\t劳动节".
std::string MarkItemText(std::string_view line);

// Runs the all-marks dialog over `owner`.
void RunAllMarks(HWND owner, TCalendarMarks& marks, TFestivalList& festivals);

}  // namespace tempora
