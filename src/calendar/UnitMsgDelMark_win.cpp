#include "UnitMsgDelMark_win.h"

#include <commctrl.h>

namespace tempora {

namespace {

constexpr int kButtonY = 112, kButtonW = 80, kButtonH = 26;

std::string MonthDay(std::string_view key) {
    const std::string k(key);
    return k.substr(0, 2) + "月" + (k.size() > 2 ? k.substr(2, 2) : std::string()) + "日";
}

}  // namespace

std::string DelMarkMessage(std::string_view solarKey, std::string_view lunarKey) {
    return "公历：" + MonthDay(solarKey) + "   农历：" + MonthDay(lunarKey);
}

bool TFrmMsgDelMark::Create(HWND owner, std::string_view message) {
    if (!CreateDialogWindow(owner, kClassName, "清除标记", kWidth, kHeight))
        return false;
    AddControl(L"STATIC", message, SS_LEFT, 30, 42, 240, 16, Label1Id);
    const HWND solar = AddControl(WC_BUTTONW, "删除公历标记", WS_TABSTOP | BS_AUTOCHECKBOX, 30, 66,
                                  120, 18, CheckBox1Id);
    const HWND lunar = AddControl(WC_BUTTONW, "删除农历标记", WS_TABSTOP | BS_AUTOCHECKBOX, 30, 88,
                                  120, 18, CheckBox2Id);
    SendMessageW(solar, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageW(lunar, BM_SETCHECK, BST_CHECKED, 0);
    AddControl(WC_BUTTONW, "确定(&O)", WS_TABSTOP | BS_DEFPUSHBUTTON, 110, kButtonY, kButtonW,
               kButtonH, IDOK);
    AddControl(WC_BUTTONW, "取消(&C)", WS_TABSTOP | BS_PUSHBUTTON, 196, kButtonY, kButtonW,
               kButtonH, IDCANCEL);
    return true;
}

bool TFrmMsgDelMark::Accept() {
    solar_ = SendMessageW(Item(CheckBox1Id), BM_GETCHECK, 0, 0) == BST_CHECKED;
    lunar_ = SendMessageW(Item(CheckBox2Id), BM_GETCHECK, 0, 0) == BST_CHECKED;
    return true;
}

std::optional<DelMarkChoice> RunDelMark(HWND owner, std::string_view message) {
    TFrmMsgDelMark form;
    if (!form.Create(owner, message) || form.ShowModal() != IDOK)
        return std::nullopt;
    return DelMarkChoice{form.Solar(), form.Lunar()};
}

bool DeleteDayMarks(HWND owner, TCalendarMarks& marks, TFestivalList& festivals, TDateTime day) {
    const std::string solar = FormatMMDD(day);
    const std::optional<std::string> lunar = LunarKeyOf(solar);
    if (!lunar) {
        ShowInvalidDate(owner, solar);
        return false;
    }
    const std::optional<DelMarkChoice> choice = RunDelMark(owner, DelMarkMessage(solar, *lunar));
    if (!choice)
        return false;
    if (choice->solar)
        marks.DeleteMark(festivals, "0" + solar);
    if (choice->lunar)
        marks.DeleteMark(festivals, "1" + *lunar);
    return true;
}

}  // namespace tempora
