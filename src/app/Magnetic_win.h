// The window magnet on the desktop: registered windows snap to the work area
// of their monitor and to each other while dragged or sized, and a dragged
// window carries its attached views. One instance serves the process; window
// procedures reach it through MagnetHook.
#pragma once

#include "app/Magnetic.h"

#include <windows.h>

#include <functional>
#include <memory>

namespace tempora {

// What a window procedure hands the magnet and gets back.
struct TMagnetMessage {
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    LRESULT result = 0;
};

class TMagnetic {
public:
    // `cursor` replaces the system's cursor position (tests drive moves by
    // messages alone); empty: the real cursor. The first instance becomes
    // the process's magnet.
    explicit TMagnetic(std::function<POINT()> cursor = {});
    ~TMagnetic();
    TMagnetic(const TMagnetic&) = delete;
    TMagnetic& operator=(const TMagnetic&) = delete;

    static TMagnetic* Instance();

    int SnapDistance() const { return model_->SnapDistance(); }
    void SetSnapDistance(int d) { model_->SetSnapDistance(d); }
    // `parent` 0: none. False for a window already registered or an invalid
    // window or parent.
    bool AddWindow(HWND w, HWND parent);
    bool RemoveWindow(HWND w);
    // Snaps WM_MOVING/WM_SIZING (handled, the rectangle at lParam rewritten)
    // and tracks the rest of a move's messages.
    void MagnetHandleMessage(HWND w, UINT msg, WPARAM wp, LPARAM lp, bool& handled,
                             LRESULT& result);
    const TMagnetModel& Model() const { return *model_; }

private:
    class Desktop;
    std::unique_ptr<Desktop> desktop_;
    std::unique_ptr<TMagnetModel> model_;
};

// False (nothing done) while no magnet exists; otherwise the magnet sees the
// message and `handled` says whether the caller's own handling is to be
// skipped, with `rec.result` as the answer.
bool MagnetHook(HWND w, UINT msg, TMagnetMessage& rec, bool& handled);

// Registers `view` with the magnet under `parent` and routes its messages
// through the magnet from now on (notifications after the window's own
// handling, moves and sizes before it; destruction unregisters it). False when
// there is no magnet or it refuses the window: the view then stands alone.
// A view docked before keeps its routing and is only registered again.
bool DockView(HWND view, HWND parent);

}  // namespace tempora
