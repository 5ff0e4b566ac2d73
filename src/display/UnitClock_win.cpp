#include "display/UnitClock_win.h"

#include "core/ClockSource.h"
#include "core/FileSys.h"
#include "core/IniFile.h"
#include "win/Dpi_win.h"
#include "win/Gdi_win.h"
#include "win/PictureBlit_win.h"

#include <windowsx.h>

#include <exception>

namespace tempora {

namespace {
constexpr UINT kMoveByCaption = 0xF012;
}  // namespace

TFrmClock::TFrmClock(std::string dataDir, const TSkinMenu& barMenu)
    : TDockedView(TOnClose::Destroy),
      dataDir_(std::move(dataDir)),
      barMenu_(barMenu),
      menu_(barMenu) {}

TFrmClock::~TFrmClock() {
    OnDestroyed = nullptr;
    if (Handle())
        DestroyWindow(Handle());
}

bool TFrmClock::Create(HWND owner) {
    return CreateView(kClassName, L"时钟", WS_POPUP, face_.Width(), face_.Height(), owner,
                      [this] { return &face_.Picture(); });
}

TSkinResult TFrmClock::LoadStyle(const std::string& path, bool menuOnly) {
    TClockSkin skin;
    TSkinResult result = TSkinResult::Damaged;
    try {
        result = ReadClockSkin(dataDir_, path, skin, nullptr,
                               menuOnly ? TClockRead::MenuOnly : TClockRead::Full,
                               WindowScale(Handle()));
    } catch (const std::exception& e) {
        // Out of memory for a style's pictures: the window keeps its look.
        TraceFault("clock style", e.what());
    }
    if (result != TSkinResult::Applied)
        return result;
    menu_ = barMenu_;
    if (!menuOnly)
        Apply(skin);
    return result;
}

TSkinResult TFrmClock::ReloadStyle(bool menuOnly) {
    const TIniFile ini(dataDir_ + "skin.ini");
    return LoadStyle(dataDir_ + "Clock" + kPathSep + ini.ReadString("SKIN", "ClockFile", ""),
                     menuOnly);
}

void TFrmClock::Apply(const TClockSkin& skin) {
    face_.Apply(skin);
    SetWindowPos(Handle(), nullptr, 0, 0, face_.Width(), face_.Height(),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(Handle(), nullptr, FALSE);
    shadow_.UpdateShadow();
}

bool TFrmClock::OpenAt(const std::string& stylePath, int opacity, int left, int top,
                       int rightAnchor, int bottomAnchor) {
    TClockSkin skin;
    try {
        if (ReadClockStyle(dataDir_, stylePath, skin, nullptr, WindowScale(Handle())) !=
            TSkinResult::Applied)
            return false;
    } catch (const std::exception& e) {
        TraceFault("clock style", e.what());
        return false;
    }
    menu_ = barMenu_;
    Apply(skin);
    SetHands(ClockSource::Current().NowLocal());
    ShowDocked(opacity, AnchoredEdge(left, rightAnchor, face_.Width()),
               AnchoredEdge(top, bottomAnchor, face_.Height()));
    return true;
}

void TFrmClock::SetHands(TDateTime t) {
    Push(face_.SetHands(t));
}

void TFrmClock::Push(TSkinRect area) {
    if (area.width <= 0 || area.height <= 0 || !IsWindowVisible(Handle()))
        return;
    if (WindowDc dc(Handle()); dc) {
        BlitPicture(dc.Get(), area.left, area.top, face_.Picture(), area.left, area.top, area.width,
                    area.height);
    }
}

LRESULT TFrmClock::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_PAINT: {
            PaintScope paint(Handle());
            const RECT& r = paint.Area();
            BlitPicture(paint.Dc(), r.left, r.top, face_.Picture(), r.left, r.top, r.right - r.left,
                        r.bottom - r.top);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_LBUTTONDOWN:
            // Face, hands and cap all move the window, as its caption would.
            ReleaseCapture();
            SendMessageW(Handle(), WM_SYSCOMMAND, kMoveByCaption, 0);
            return 0;
        case WM_RBUTTONUP:
            if (OnPopupMenu) {
                POINT at{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
                ClientToScreen(Handle(), &at);
                // A command of the menu may close this window and clear the
                // callback: the call runs on a copy.
                const auto popup = OnPopupMenu;
                popup(at);
            }
            return 0;
        default:
            break;
    }
    return TDockedView::WndProc(msg, wp, lp);
}

}  // namespace tempora
