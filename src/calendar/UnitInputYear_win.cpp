#include "UnitInputYear_win.h"

#include "core/Encoding.h"
#include "core/Text.h"

#include <commctrl.h>

#include <algorithm>

namespace tempora {

namespace {

constexpr int kButtonY = 82, kButtonW = 76, kButtonH = 26;

}  // namespace

bool TFrmInputYear::Create(HWND owner, int year) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&icc);
    if (!CreateDialogWindow(owner, kClassName, "其他", kWidth, kHeight))
        return false;
    year_ = std::clamp(year, kMinYear, kMaxYear);
    const HWND edit = AddControl(WC_EDITW, std::to_string(year_), WS_TABSTOP | ES_NUMBER, 56, 44,
                                 84, 22, Edit1Id, WS_EX_CLIENTEDGE);
    SendMessageW(edit, EM_LIMITTEXT, 4, 0);
    const HWND spin = AddControl(UPDOWN_CLASSW, "",
                                 UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS,
                                 0, 0, 0, 0, UpDown1Id);
    SendMessageW(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0);
    SendMessageW(spin, UDM_SETRANGE32, kMinYear, kMaxYear);
    SendMessageW(spin, UDM_SETPOS32, 0, year_);
    AddControl(L"STATIC", "年", SS_LEFT | SS_CENTERIMAGE, 146, 44, 20, 22, Label1Id);
    AddControl(WC_BUTTONW, "确定(&O)", WS_TABSTOP | BS_DEFPUSHBUTTON, 26, kButtonY, kButtonW,
               kButtonH, IDOK);
    AddControl(WC_BUTTONW, "取消(&C)", WS_TABSTOP | BS_PUSHBUTTON, 118, kButtonY, kButtonW,
               kButtonH, IDCANCEL);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    return true;
}

bool TFrmInputYear::Accept() {
    const std::string text = WindowTextOf(Item(Edit1Id));
    uint64_t value = 0;
    if (!ParseUnsigned(Trim(text), value)) {
        // An empty field, or pasted text that is no number, names no year.
        MessageBeep(MB_ICONWARNING);
        SetFocus(Item(Edit1Id));
        SendMessageW(Item(Edit1Id), EM_SETSEL, 0, -1);
        return false;
    }
    if (value < kMinYear || value > kMaxYear) {
        // The calendar's tables end there: say so rather than show another year.
        const std::string message = "年份超出范围：" + std::to_string(value) + "\n\n请输入 " +
                                    std::to_string(kMinYear) + " 到 " + std::to_string(kMaxYear) +
                                    " 之间的年份。";
        MessageBoxW(Handle(), Utf8ToWide(message).c_str(), L"警告", MB_OK | MB_ICONWARNING);
        SetFocus(Item(Edit1Id));
        SendMessageW(Item(Edit1Id), EM_SETSEL, 0, -1);
        return false;
    }
    year_ = static_cast<int>(value);
    return true;
}

std::optional<int> RunInputYear(HWND owner, int year) {
    TFrmInputYear form;
    if (!form.Create(owner, year) || form.ShowModal() != IDOK)
        return std::nullopt;
    return form.Year();
}

}  // namespace tempora
