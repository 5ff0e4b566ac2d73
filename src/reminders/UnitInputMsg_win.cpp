#include "UnitInputMsg_win.h"

#include "core/Encoding.h"
#include "reminders/TaskEditor.h"

#include <commctrl.h>

namespace tempora {

namespace {

constexpr int kButtonW = 80, kButtonH = 26, kButtonY = 180;

}  // namespace

bool TFrmInputMsg::Create(HWND owner, bool adding, const std::string& text) {
    if (!CreateDialogWindow(owner, kClassName, adding ? "添加消息" : "编辑消息", kWidth, kHeight))
        return false;
    AddControl(WC_EDITW, "",
               WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL, 16, 40, 328,
               126, Memo1Id, WS_EX_CLIENTEDGE);
    AddControl(L"STATIC", MessageCounterText(""), SS_LEFT | SS_CENTERIMAGE, 16, kButtonY + 3, 120,
               20, Label1Id);
    AddControl(WC_BUTTONW, "确定(&O)", WS_TABSTOP | BS_DEFPUSHBUTTON, 178, kButtonY, kButtonW,
               kButtonH, IDOK);
    AddControl(WC_BUTTONW, "取消(&C)", WS_TABSTOP | BS_PUSHBUTTON, 264, kButtonY, kButtonW,
               kButtonH, IDCANCEL);
    // A message longer than the limit, written by hand into the file, shows
    // whole: it may shrink, never grow.
    lastText_ = Utf8ToWide(text);
    settingText_ = true;
    SetWindowTextW(Item(Memo1Id), lastText_.c_str());
    settingText_ = false;
    SetWindowTextW(Item(Label1Id), Utf8ToWide(MessageCounterText(text)).c_str());
    return true;
}

void TFrmInputMsg::MemoChanged() {
    if (settingText_)
        return;
    const HWND memo = Item(Memo1Id);
    const std::string text = WindowTextOf(memo);
    const size_t bytes = GbkLength(text);
    if (bytes <= kMessageLimitBytes || bytes <= GbkLength(WideToUtf8(lastText_))) {
        lastText_ = Utf8ToWide(text);
        SetWindowTextW(Item(Label1Id), Utf8ToWide(MessageCounterText(text)).c_str());
        return;
    }
    // What was typed or pasted does not fit: the memo keeps its last text.
    DWORD caret = 0;
    SendMessageW(memo, EM_GETSEL, reinterpret_cast<WPARAM>(&caret), 0);
    const size_t now = static_cast<size_t>(GetWindowTextLengthW(memo));
    const size_t grown = now > lastText_.size() ? now - lastText_.size() : 0;
    caret = caret >= grown ? static_cast<DWORD>(caret - grown) : 0;
    settingText_ = true;
    SetWindowTextW(memo, lastText_.c_str());
    settingText_ = false;
    SendMessageW(memo, EM_SETSEL, caret, caret);
    MessageBeep(MB_OK);
}

void TFrmInputMsg::Command(int id, int code) {
    if (id == Memo1Id && code == EN_CHANGE)
        MemoChanged();
}

bool TFrmInputMsg::PreTranslate(const MSG& msg) {
    // The memo takes every key, Escape included; Escape still cancels here.
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE && msg.hwnd == Item(Memo1Id)) {
        EndModal(IDCANCEL);
        return true;
    }
    return false;
}

bool TFrmInputMsg::Accept() {
    text_ = JoinMessageLines(WindowTextOf(Item(Memo1Id)));
    return true;
}

bool EditMessage(HWND owner, bool adding, std::string& text) {
    TFrmInputMsg form;
    if (!form.Create(owner, adding, text) || form.ShowModal() != IDOK)
        return false;
    text = form.Text();
    return true;
}

}  // namespace tempora
