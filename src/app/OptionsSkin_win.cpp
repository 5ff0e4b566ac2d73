#include "app/OptionsPages_win.h"

#include "core/ClockSource.h"
#include "core/DateTime.h"
#include "core/Encoding.h"
#include "core/FileSys.h"
#include "display/SupFun.h"
#include "win/Gdi_win.h"
#include "win/PictureBlit_win.h"

#include <commctrl.h>

#include <algorithm>

namespace tempora {

namespace {

constexpr int kPreviewW = 332, kPreviewH = 34;

// The bar as a skin dresses it: background, the normal menu and minimise
// buttons, the LED panel and today's date in 宋体 9 pt.
Bitmap SkinPreviewOf(const TBarSkin& skin) {
    Bitmap out;
    const int w = std::min(kPreviewW, skin.background.Width());
    const int h = std::min(kPreviewH, skin.background.Height());
    if (w <= 0 || h <= 0 || !out.Create(w, h, Bitmap::kKeyColor))
        return out;
    out.CopyRect(0, 0, skin.background, 0, 0, w, h);
    out.CopyTransparent(8, 4, skin.btnMenu.up, 0, 0, skin.btnMenu.up.Width(),
                        skin.btnMenu.up.Height());
    out.CopyTransparent(296, 1, skin.btnMin.up, 0, 0, skin.btnMin.up.Width(),
                        skin.btnMin.up.Height());
    out.FillRect(61, 4, 116, 26, skin.ledBorderColor & 0xFFFFFF);
    out.FillRect(62, 5, 114, 24, skin.ledBkColor & 0xFFFFFF);
    TDibCanvas canvas(w, h);
    if (!canvas.Ok())
        return out;
    BlitPicture(canvas.Dc(), 0, 0, out);
    GdiObject<HFONT> font(MakeFont(L"宋体", 9));
    {
        SelectObjectScope f(canvas.Dc(), font.Get());
        SetBkMode(canvas.Dc(), TRANSPARENT);
        SetTextColor(canvas.Dc(), skin.fontColor & 0xFFFFFF);
        const std::wstring date = Utf8ToWide(FormatChineseDate(ClockSource::Current().NowLocal()));
        TextOutW(canvas.Dc(), 189, 15, date.c_str(), static_cast<int>(date.size()));
    }
    GdiFlush();
    ReadPicture(canvas.Dc(), 0, 0, w, h, out);
    return out;
}

}  // namespace

void TOptionsSkinPage::Build() {
    AddList(UiListView1, kX, 44, 240, 150);
    Add(WC_BUTTONW, "应用(&A)", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, kX + 256, 44, 86, 28,
        UiButton3);
    Add(WC_STATICW, "", SS_OWNERDRAW, kX + 2, 204, kPreviewW, kPreviewH, Image1);
    Add(WC_STATICW, "透明度", SS_LEFT | SS_CENTERIMAGE, kX, 256, 50, 24, 0);
    AddTrack(UiTrackBar1, kX + 50, 254, 240, setting::BarAlpha);
    Add(WC_STATICW, "", SS_LEFT | SS_CENTERIMAGE, kX + 296, 256, 50, 24, Label3);
}

void TOptionsSkinPage::Load(const TOptionsValues& v) {
    loading_ = true;
    SendMessageW(Item(UiTrackBar1), TBM_SETPOS, TRUE, v.barAlpha);
    loading_ = false;
    TrackBarMoved(Item(UiTrackBar1));
}

void TOptionsSkinPage::Gather(TOptionsValues& v) const {
    v.barAlpha = static_cast<int>(SendMessageW(Item(UiTrackBar1), TBM_GETPOS, 0, 0));
}

void TOptionsSkinPage::FirstVisit() {
    const std::string dataDir = host_.DataDir();
    FillPackageList(Item(UiListView1), dataDir + "Skin\\", ".sk",
                    ReadText(TIniFile(dataDir + kSettingsFile), setting::SkinFile), paths_);
}

void TOptionsSkinPage::Command(int id, int code) {
    if (id == UiButton3 && code == BN_CLICKED)
        Apply();
}

void TOptionsSkinPage::TrackBarMoved(HWND bar) {
    if (GetDlgCtrlID(bar) != UiTrackBar1)
        return;
    const int pos = static_cast<int>(SendMessageW(bar, TBM_GETPOS, 0, 0));
    SetWindowTextW(Item(Label3), (std::to_wstring(TransparencyPercent(pos)) + L"%").c_str());
    if (!loading_)
        host_.SetBarAlpha(pos);
}

bool TOptionsSkinPage::Notify(const NMHDR& hdr) {
    if (hdr.code != LVN_ITEMCHANGED || hdr.idFrom != UiListView1)
        return false;
    const auto& lv = reinterpret_cast<const NMLISTVIEW&>(hdr);
    if ((lv.uChanged & LVIF_STATE) && ((lv.uNewState ^ lv.uOldState) & LVIS_SELECTED))
        Selected((lv.uNewState & LVIS_SELECTED) ? lv.iItem : -1);
    return true;
}

bool TOptionsSkinPage::DrawPicture(int id, Bitmap& picture) {
    if (id != Image1)
        return false;
    if (!preview_.Empty())
        picture.CopyTransparent(0, 0, preview_, 0, 0, preview_.Width(), preview_.Height());
    return true;
}

void TOptionsSkinPage::Selected(int item) {
    preview_ = Bitmap();
    chosen_.clear();
    Enable(UiButton3, false);
    InvalidateRect(Item(Image1), nullptr, TRUE);
    if (item < 0 || item >= static_cast<int>(paths_.size()))
        return;
    const std::string& path = paths_[static_cast<size_t>(item)];
    TBarSkin skin;
    const TSkinResult r = ReadBarSkin(host_.DataDir(), path, skin);
    if (r == TSkinResult::Rejected) {
        Tell(L"无法识别的文件版本！", L"警告", MB_ICONWARNING);
        return;
    }
    if (r != TSkinResult::Applied) {
        Tell(L"皮肤文件已损坏，无法使用。", L"警告", MB_ICONWARNING);
        return;
    }
    preview_ = SkinPreviewOf(skin);
    chosen_ = path;
    Enable(UiButton3, true);
    InvalidateRect(Item(Image1), nullptr, TRUE);
}

void TOptionsSkinPage::Apply() {
    if (chosen_.empty() || !FileExists(chosen_))
        return;
    const std::string name = chosen_.substr(chosen_.find_last_of('\\') + 1);
    if (Write({TextValue(setting::SkinFile, name)}))
        host_.ApplySkinToViews();
}

}  // namespace tempora
