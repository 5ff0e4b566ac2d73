// The year picker "其他": a whole number 1900..2100 with up and down arrows,
// the label "年", and 确定(&O) / 取消(&C). A number beyond the range is
// refused with a message that names the range; so is an empty field.
#pragma once

#include <windows.h>

#include <optional>

#include "calendar/CalendarDialog_win.h"

namespace tempora {

class TFrmInputYear : public TDialog {
public:
    static constexpr int kWidth = 220, kHeight = 124;  // the client area
    static constexpr int kMinYear = 1900, kMaxYear = 2100;
    static constexpr wchar_t kClassName[] = L"TFrmInputYear";
    enum : int {
        Edit1Id = 101,
        UpDown1Id,
        Label1Id,  // 年
    };

    // Starts at `year`, brought into the range.
    bool Create(HWND owner, int year);
    int Year() const { return year_; }

protected:
    void Command(int, int) override {}
    bool Accept() override;
    HWND FirstFocus() const override { return Item(Edit1Id); }

private:
    int year_ = kMinYear;
};

// Runs the dialog over `owner` starting at `year`; the year on OK.
std::optional<int> RunInputYear(HWND owner, int year);

}  // namespace tempora
