#include "app/OptionsPages_win.h"

#include "core/Encoding.h"
#include "core/FileSys.h"
#include "display/SupFun.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>

namespace tempora {

namespace {

constexpr int kClockBox = 100;

Bitmap ClockPreviewOf(const Bitmap& face) {
    Bitmap out;
    const TPreviewSize size = ClockPreviewSize(face.Width(), face.Height());
    if (size.width <= 0 || size.height <= 0 ||
        !out.Create(size.width, size.height, Bitmap::kKeyColor))
        return out;
    out.StretchRect(0, 0, size.width, size.height, face, 0, 0, face.Width(), face.Height());
    return out;
}

}  // namespace

void TOptionsClockPage::Build() {
    AddList(UiListView2, kX, 44, 220, 180);
    Add(WC_STATICW, "", SS_OWNERDRAW, kX + 238, 44, kClockBox, kClockBox, Image2);
    Add(WC_BUTTONW, "应用(&A)", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, kX + 245, 156, 86, 28,
        UiButton2);
    AddGroup("电子时钟", kX - 4, 232, kPageW - 16, 56);
    Add(WC_BUTTONW, "LED", BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP, kX + 10, 256, 70, 22,
        UiRadioButton6);
    Add(WC_BUTTONW, "普通", BS_AUTORADIOBUTTON, kX + 90, 256, 70, 22, UiRadioButton7);
    Add(WC_BUTTONW, "字体(&F)", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, kX + 180, 253, 86, 28,
        UiButton5);
}

void TOptionsClockPage::Load(const TOptionsValues& v) {
    loading_ = true;
    SetChecked(UiRadioButton6, v.ledFont);
    SetChecked(UiRadioButton7, !v.ledFont);
    loading_ = false;
}

void TOptionsClockPage::FirstVisit() {
    const std::string dataDir = host_.DataDir();
    FillPackageList(Item(UiListView2), dataDir + "Clock\\", ".cl",
                    ReadText(TIniFile(dataDir + kSettingsFile), setting::ClockFile), paths_);
}

void TOptionsClockPage::Command(int id, int code) {
    if (code != BN_CLICKED || loading_)
        return;
    switch (id) {
        case UiRadioButton6:
        case UiRadioButton7:
            host_.SetLedDigits(Checked(UiRadioButton6));
            break;
        case UiButton5:
            ChooseTimeFont();
            break;
        case UiButton2:
            Apply();
            break;
        default:
            break;
    }
}

void TOptionsClockPage::UpdateEnabling() {
    Enable(UiButton5, Checked(UiRadioButton7));
}

bool TOptionsClockPage::Notify(const NMHDR& hdr) {
    if (hdr.code != LVN_ITEMCHANGED || hdr.idFrom != UiListView2)
        return false;
    const auto& lv = reinterpret_cast<const NMLISTVIEW&>(hdr);
    if ((lv.uChanged & LVIF_STATE) && ((lv.uNewState ^ lv.uOldState) & LVIS_SELECTED))
        Selected((lv.uNewState & LVIS_SELECTED) ? lv.iItem : -1);
    return true;
}

bool TOptionsClockPage::DrawPicture(int id, Bitmap& picture) {
    if (id != Image2)
        return false;
    if (!preview_.Empty()) {
        picture.CopyTransparent((picture.Width() - preview_.Width()) / 2,
                                (picture.Height() - preview_.Height()) / 2, preview_, 0, 0,
                                preview_.Width(), preview_.Height());
    }
    return true;
}

void TOptionsClockPage::Selected(int item) {
    preview_ = Bitmap();
    chosen_.clear();
    Enable(UiButton2, false);
    InvalidateRect(Item(Image2), nullptr, TRUE);
    if (item < 0 || item >= static_cast<int>(paths_.size()))
        return;
    const std::string& path = paths_[static_cast<size_t>(item)];
    TClockSkin style;
    const TSkinResult r = ReadClockSkin(host_.DataDir(), path, style);
    if (r == TSkinResult::Rejected) {
        Tell(L"无法识别的文件版本！", L"警告", MB_ICONWARNING);
        return;
    }
    if (r != TSkinResult::Applied) {
        Tell(L"时钟样式文件已损坏，无法使用。", L"警告", MB_ICONWARNING);
        return;
    }
    preview_ = ClockPreviewOf(style.face);
    chosen_ = path;
    Enable(UiButton2, true);
    InvalidateRect(Item(Image2), nullptr, TRUE);
}

void TOptionsClockPage::Apply() {
    if (chosen_.empty() || !FileExists(chosen_))
        return;
    const std::string name = chosen_.substr(chosen_.find_last_of('\\') + 1);
    if (Write({TextValue(setting::ClockFile, name)}))
        host_.ApplyClockStyle();
}

void TOptionsClockPage::ChooseTimeFont() {
    const TTimeFont now = host_.TimeFont();
    LOGFONTW lf{};
    const HDC screen = GetDC(nullptr);
    lf.lfHeight = -MulDiv(now.size, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    lf.lfWeight = now.bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = now.italic;
    lf.lfUnderline = now.underline;
    lf.lfStrikeOut = now.strikeOut;
    lf.lfCharSet = DEFAULT_CHARSET;
    const std::wstring face = Utf8ToWide(now.name);
    face.copy(lf.lfFaceName, LF_FACESIZE - 1);
    CHOOSEFONTW cf{};
    cf.lStructSize = sizeof cf;
    cf.hwndOwner = dialog_;
    cf.lpLogFont = &lf;
    cf.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT;
    cf.rgbColors = now.color & 0xFFFFFF;
    if (!ChooseFontW(&cf))
        return;
    TTimeFont chosen;
    chosen.name = WideToUtf8(lf.lfFaceName);
    chosen.size = std::clamp(cf.iPointSize / 10, setting::FontSize.lo, setting::FontSize.hi);
    chosen.color = cf.rgbColors & 0xFFFFFF;
    chosen.bold = lf.lfWeight >= FW_BOLD;
    chosen.italic = lf.lfItalic != 0;
    chosen.underline = lf.lfUnderline != 0;
    chosen.strikeOut = lf.lfStrikeOut != 0;
    host_.SetTimeFont(chosen);
}

}  // namespace tempora
