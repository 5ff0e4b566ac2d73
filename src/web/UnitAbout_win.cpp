#include "web/UnitAbout_win.h"

#include "web/res/About.rc.h"
#include "win/Dpi_win.h"
#include "win/Gdi_win.h"
#include "core/Handles_win.h"

namespace tempora {

namespace {

constexpr int kLogoX = 28, kLogoY = 50;
constexpr int kTextX = kLogoX + ABOUTLOGO_SIZE + 24;

// The logo's straight alpha premultiplied, as AlphaBlend takes it.
HBITMAP LoadLogo() {
    auto* bmp =
        static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_ABOUTLOGO),
                                        IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    DIBSECTION dib{};
    if (!bmp || GetObjectW(bmp, sizeof dib, &dib) != sizeof dib || dib.dsBm.bmBitsPixel != 32 ||
        !dib.dsBm.bmBits) {
        if (bmp)
            DeleteObject(bmp);
        return nullptr;
    }
    auto* px = static_cast<BYTE*>(dib.dsBm.bmBits);
    const size_t count =
        static_cast<size_t>(dib.dsBm.bmWidth) * static_cast<size_t>(dib.dsBm.bmHeight);
    for (size_t i = 0; i < count; ++i, px += 4) {
        for (int c = 0; c < 3; ++c)
            px[c] = static_cast<BYTE>((px[c] * px[3] + 127) / 255);
    }
    return bmp;
}

}  // namespace

TFrmAbout::~TFrmAbout() {
    // The window goes before the pictures and fonts it uses.
    if (Handle())
        DestroyWindow(Handle());
}

bool TFrmAbout::Create(HWND owner, const std::string& homePage, OpenDocumentFn open) {
    if (!CreateDialogWindow(owner, kClassName, "关于", kWidth, kHeight))
        return false;
    open_ = std::move(open);
    logo_.Reset(LoadLogo());
    nameFont_.Reset(MakeScaledFont(L"宋体", 12, Scale(), FW_BOLD));
    constexpr DWORD kLabel = SS_LEFT | SS_NOPREFIX;
    const HWND name =
        AddControl(L"STATIC", "嘀嗒桌面时钟", kLabel, kTextX, kLogoY + 4, 240, 22, NameLabelId);
    SendMessageW(name, WM_SETFONT, reinterpret_cast<WPARAM>(nameFont_.Get()), FALSE);
    AddControl(L"STATIC", "", kLabel, kTextX, kLogoY + 32, 240, 16, Label1Id);
    if (homePage.empty()) {
        AddControl(L"STATIC", "主页: 未设置", kLabel, kTextX, kLogoY + 54, 250, 16, HomeLabelId);
    } else {
        AddLink("主页: " + homePage, homePage, kTextX, kLogoY + 54, 250, 16, HomeLabelId);
    }
    AddControl(L"STATIC", "本软件是免费软件，欢迎使用和传播。", kLabel, kLogoX, kLogoY + 96,
               kWidth - 2 * kLogoX, 16, NoticeLabelId);
    AddControl(L"BUTTON", "确定(&O)", WS_TABSTOP | BS_DEFPUSHBUTTON, kWidth - 112, kHeight - 42, 84,
               26, IDOK);
    return true;
}

void TFrmAbout::PaintLogo() {
    PaintScope paint(Handle());
    if (!logo_)
        return;
    const MemoryDc mem(CreateCompatibleDC(paint.Dc()));
    SelectObjectScope picture(mem.Get(), logo_.Get());
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(paint.Dc(), kLogoX, kLogoY, ABOUTLOGO_SIZE, ABOUTLOGO_SIZE, mem.Get(), 0, 0,
               ABOUTLOGO_SIZE, ABOUTLOGO_SIZE, blend);
}

LRESULT TFrmAbout::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PAINT) {
        PaintLogo();
        return 0;
    }
    return TWebDialog::WndProc(msg, wp, lp);
}

void ShowAbout(HWND owner, const std::string& homePage, OpenDocumentFn open) {
    TFrmAbout about;
    if (!about.Create(owner, homePage, std::move(open)))
        return;
    SetWindowTextW(about.Item(TFrmAbout::Label1Id), L"V3.7.7");
    about.ShowModal();
}

}  // namespace tempora
