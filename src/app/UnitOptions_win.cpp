#include "app/UnitOptions_win.h"

#include "core/Encoding.h"
#include "win/Dpi_win.h"
#include "win/Gdi_win.h"
#include "win/PictureBlit_win.h"

#include <commctrl.h>

namespace tempora {

namespace {

TFrmOptions* g_current = nullptr;

constexpr int kTabX = 8, kTabY = 36, kTabW = 70, kTabH = 30;

const char* const kPageCaptions[] = {"常规", "报时", "皮肤", "时钟", "消息", "校时"};

}  // namespace

TFrmOptions::TFrmOptions(TOptionsHost& host) : host_(host) {}

TFrmOptions::~TFrmOptions() {
    // The window goes while the pages it reports to still live.
    if (Handle())
        DestroyWindow(Handle());
    if (g_current == this)
        g_current = nullptr;
}

TFrmOptions* TFrmOptions::Current() {
    return g_current;
}

bool TFrmOptions::Create(HWND owner, int page) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_UPDOWN_CLASS | ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES |
                                             ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    if (!CreateDialogWindow(owner, kClassName, "系统设置", kWidth, kHeight))
        return false;
    g_current = this;
    ScaleChanged();
    for (int p = 0; p < kPageCount; ++p) {
        AddControl(WC_BUTTONW, kPageCaptions[p], BS_OWNERDRAW, kTabX, kTabY + p * kTabH, kTabW,
                   kTabH - 2, kTabFirst + p);
    }
    AddControl(WC_BUTTONW, "关闭(&C)", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, kWidth - 8 - 86,
               kHeight - 8 - 28, 86, 28, UiButton1);

    const TOptionsPage::TAddControl add = [this](const wchar_t* cls, std::string_view text,
                                                 DWORD style, int x, int y, int w, int h, int id,
                                                 DWORD ex) {
        return AddControl(cls, text, style, x, y, w, h, id ? id : nextStaticId_++, ex);
    };
    auto general = std::make_unique<TOptionsGeneralPage>(Handle(), host_, add);
    auto skin = std::make_unique<TOptionsSkinPage>(Handle(), host_, add);
    auto clock = std::make_unique<TOptionsClockPage>(Handle(), host_, add);
    auto time = std::make_unique<TOptionsTimePage>(Handle(), host_, add);
    general_ = general.get();
    skin_ = skin.get();
    clock_ = clock.get();
    time_ = time.get();
    // In the order of Page.
    pages_.push_back(std::move(general));
    pages_.push_back(std::make_unique<TOptionsChimePage>(Handle(), host_, add));
    pages_.push_back(std::move(skin));
    pages_.push_back(std::move(clock));
    pages_.push_back(std::make_unique<TOptionsMessagePage>(Handle(), host_, add));
    pages_.push_back(std::move(time));
    for (const auto& p : pages_)
        p->Build();

    // Turning to the page asked for does not move the focus yet: the
    // dialog is not showing.
    ShowPage(page >= 0 && page < kPageCount ? page : TabSheet1);

    TOptionsValues v = ReadOptionsValues(TIniFile(host_.DataDir() + kSettingsFile));
    // What acts on the bar at once shows as the bar has it.
    v.ledFont = host_.LedDigits();
    v.barAlpha = host_.BarAlpha();
    for (const auto& p : pages_)
        p->Load(v);
    UpdateEnabling();
    return true;
}

void TFrmOptions::SelectPage(int page) {
    if (page < 0 || page >= kPageCount)
        return;
    ShowPage(page);
    FocusList();
}

void TFrmOptions::ShowPage(int page) {
    if (!pageVisited_[page]) {
        pageVisited_[page] = true;
        pages_[static_cast<size_t>(page)]->FirstVisit();
    }
    const int old = page_;
    page_ = page;
    for (int p = 0; p < kPageCount; ++p)
        pages_[static_cast<size_t>(p)]->Show(p == page);
    if (old >= 0)
        InvalidateRect(Item(kTabFirst + old), nullptr, TRUE);
    InvalidateRect(Item(kTabFirst + page), nullptr, TRUE);
}

void TFrmOptions::FocusList() {
    const HWND list = pages_[static_cast<size_t>(page_)]->FocusControl();
    if (!list)
        return;
    const int sel = ListView_GetNextItem(list, -1, LVNI_SELECTED);
    if (sel >= 0)
        ListView_EnsureVisible(list, sel, FALSE);
    if (IsWindowVisible(Handle()))
        SetFocus(list);
}

void TFrmOptions::ScaleChanged() {
    tabFont_.Reset(MakeScaledFont(L"宋体", 9, Scale(), FW_BOLD));
}

HWND TFrmOptions::FirstFocus() const {
    if (const HWND list = pages_[static_cast<size_t>(page_)]->FocusControl())
        return list;
    return Item(UiButton1);
}

void TFrmOptions::UpdateEnabling() {
    for (const auto& p : pages_)
        p->UpdateEnabling();
}

TOptionsValues TFrmOptions::Gathered() const {
    TOptionsValues v;
    v.ledFont = host_.LedDigits();
    v.font = host_.TimeFont();
    for (const auto& p : pages_)
        p->Gather(v);
    return v;
}

bool TFrmOptions::SaveOptions() {
    general_->SaveAutoStart();
    const TOptionsValues v = Gathered();
    if (!WriteOptionKeys(Handle(), host_.DataDir() + kSettingsFile, OptionsIniValues(v)))
        return false;
    host_.ApplyOptions(v);
    return true;
}

void TFrmOptions::SaveAtQuit() {
    const std::optional<TOptionsValues> v =
        Handle() && IsWindow(Handle()) ? std::optional(Gathered()) : shownAtEnd_;
    if (!v)
        return;
    // The program is ending: a refused write has nobody left to tell.
    try {
        WriteSettings(host_.DataDir() + kSettingsFile, OptionsIniValues(*v));
    } catch (const EIniWriteError&) {
    }
}

void TFrmOptions::Command(int id, int code) {
    if (id >= kTabFirst && id < kTabFirst + kPageCount) {
        if (code == BN_CLICKED)
            SelectPage(id - kTabFirst);
        return;
    }
    for (const auto& p : pages_)
        p->Command(id, code);
    if (code == BN_CLICKED)
        UpdateEnabling();
}

void TFrmOptions::DrawItem(const DRAWITEMSTRUCT& dis) {
    const int id = static_cast<int>(dis.CtlID);
    const RECT& r = dis.rcItem;
    Bitmap picture = BackgroundUnder(Handle(), dis.hwndItem);
    for (const auto& p : pages_) {
        if (p->DrawPicture(id, picture))
            break;
    }
    BlitPicture(dis.hDC, 0, 0, picture);
    if (id < kTabFirst || id >= kTabFirst + kPageCount)
        return;
    const bool selected = id - kTabFirst == page_;
    RECT box = r;
    InflateRect(&box, -1, -1);
    if (selected) {
        GdiObject<HRGN> shape(
            CreateRoundRectRgn(box.left, box.top, box.right + 1, box.bottom + 1, Px(6), Px(6)));
        SelectClipRgn(dis.hDC, shape.Get());
        Gradient(dis.hDC, box, RGB(255, 255, 255), RGB(173, 222, 245));
        SelectClipRgn(dis.hDC, nullptr);
        GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, RGB(49, 106, 197)));
        SelectObjectScope p(dis.hDC, pen.Get());
        SelectObjectScope b(dis.hDC, GetStockObject(NULL_BRUSH));
        RoundRect(dis.hDC, box.left, box.top, box.right, box.bottom, Px(6), Px(6));
    }
    SetBkMode(dis.hDC, TRANSPARENT);
    SetTextColor(dis.hDC, selected ? RGB(0, 0, 0) : RGB(64, 64, 64));
    SelectObjectScope f(dis.hDC, selected ? static_cast<HGDIOBJ>(tabFont_.Get())
                                          : reinterpret_cast<HGDIOBJ>(
                                                SendMessageW(dis.hwndItem, WM_GETFONT, 0, 0)));
    const std::wstring caption = Utf8ToWide(kPageCaptions[id - kTabFirst]);
    RECT text = r;
    DrawTextW(dis.hDC, caption.c_str(), -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if ((dis.itemState & ODS_FOCUS) && !(dis.itemState & ODS_NOFOCUSRECT)) {
        InflateRect(&box, -Px(3), -Px(3));
        DrawFocusRect(dis.hDC, &box);
    }
}

LRESULT TFrmOptions::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CLOSE:
            // The frame's close button and Alt+F4 save like "关闭(&C)".
            if (SaveOptions())
                EndModal(IDOK);
            return 0;
        case WM_DESTROY:
            // The controls die after this: what they show is read now, for
            // a program that ends under the dialog (its owner closed).
            if (!pages_.empty())
                shownAtEnd_ = Gathered();
            break;
        case WM_COMMAND:
            if (LOWORD(wp) == IDCANCEL) {
                if (SaveOptions())
                    EndModal(IDOK);
                return 0;
            }
            break;
        case WM_HSCROLL:
            if (lp) {
                for (const auto& p : pages_)
                    p->TrackBarMoved(reinterpret_cast<HWND>(lp));
            }
            return 0;
        case WM_NOTIFY: {
            const auto* hdr = reinterpret_cast<const NMHDR*>(lp);
            for (const auto& p : pages_) {
                if (p->Notify(*hdr))
                    return 0;
            }
            break;
        }
        case WM_PAINT: {
            // The pages' panel: a light frame around the controls, over the
            // dialog's own background.
            PAINTSTRUCT ps;
            const HDC dc = BeginPaint(Handle(), &ps);
            GdiObject<HPEN> pen(CreatePen(PS_SOLID, Px(1), RGB(160, 172, 190)));
            SelectObjectScope p(dc, pen.Get());
            SelectObjectScope b(dc, GetStockObject(NULL_BRUSH));
            RoundRect(dc, Px(kPageX), Px(kPageY), Px(kPageX + kPageW), Px(kPageY + kPageH), Px(6),
                      Px(6));
            EndPaint(Handle(), &ps);
            return 0;
        }
        case WM_DRAWITEM:
            DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
            return TRUE;
        case WM_ACTIVATE:
            if (LOWORD(wp) != WA_INACTIVE && !HIWORD(wp) && page_ >= 0)
                FocusList();
            break;
        case kTimeCheckedMessage:
            if (time_)
                time_->TimeChecked();
            return 0;
        default:
            break;
    }
    return TDialog::WndProc(msg, wp, lp);
}

void ShowOptions(TOptionsHost& host, int page) {
    if (TFrmOptions* open = TFrmOptions::Current()) {
        open->SelectPage(page);
        SetForegroundWindow(open->Handle());
        return;
    }
    TFrmOptions form(host);
    if (!form.Create(host.OptionsOwner(), page))
        return;
    if (form.ShowModal() != IDOK)
        form.SaveAtQuit();
}

}  // namespace tempora
