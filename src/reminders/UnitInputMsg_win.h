// The message editor "添加消息" / "编辑消息": a memo of up to 200 GBK bytes
// with a counter label ("12/200字节", line breaks counted), and the buttons
// 确定(&O) and 取消(&C). The message it gives is one line: the memo's lines
// joined with nothing between them.
#pragma once

#include <windows.h>

#include <string>

#include "reminders/TaskDialog_win.h"

namespace tempora {

class TFrmInputMsg : public TTaskDialog {
public:
    static constexpr int kWidth = 360, kHeight = 220;  // the client area
    static constexpr wchar_t kClassName[] = L"TFrmInputMsg";
    enum : int {
        Memo1Id = 101,
        Label1Id,  // the counter
    };

    bool Create(HWND owner, bool adding, const std::string& text);
    // The message after OK.
    const std::string& Text() const { return text_; }

protected:
    void Command(int id, int code) override;
    bool Accept() override;
    HWND FirstFocus() const override { return Item(Memo1Id); }
    bool PreTranslate(const MSG& msg) override;

private:
    void MemoChanged();

    std::wstring lastText_;  // the memo's last text that fitted
    bool settingText_ = false;
    std::string text_;
};

// Runs the message editor over `owner`; on OK, true with the message in `text`.
bool EditMessage(HWND owner, bool adding, std::string& text);

}  // namespace tempora
