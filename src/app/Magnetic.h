// The window magnet's arithmetic: which registered windows are attached to
// which, and where a dragged or sized window's edges snap. It knows windows
// only by an opaque id and asks the desktop about them, so it runs without
// a window system.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

namespace tempora {

// Screen coordinates; right and bottom are exclusive. Monitors left of or
// above the primary one have negative coordinates.
struct TMagRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const TMagRect&) const = default;
};

struct TMagPoint {
    int x = 0, y = 0;
    bool operator==(const TMagPoint&) const = default;
};

using TMagWindow = std::uintptr_t;  // 0: no window

// What the magnet needs to know about the windows and the screen.
class IMagnetDesktop {
public:
    virtual ~IMagnetDesktop() = default;
    virtual bool IsWindow(TMagWindow w) const = 0;
    virtual bool IsVisible(TMagWindow w) const = 0;
    virtual bool IsMaximised(TMagWindow w) const = 0;
    virtual TMagRect WindowRect(TMagWindow w) const = 0;
    // The work area (screen less the task bar) of the monitor that `w` is on,
    // or nearest to when it is off every screen.
    virtual TMagRect WorkAreaOf(TMagWindow w) const = 0;
    virtual TMagPoint CursorPos() const = 0;
    // Puts each window's top-left at its point, all in one step, keeping
    // sizes, z-order and activation.
    virtual void MoveTogether(const std::vector<std::pair<TMagWindow, TMagPoint>>& moves) = 0;
};

// True when the rectangles overlap or touch on both axes and share at least
// one edge line.
bool Touches(const TMagRect& a, const TMagRect& b);

// Sizing edges, as the platform numbers them.
enum TMagEdge : int {
    kEdgeLeft = 1,
    kEdgeRight = 2,
    kEdgeTop = 3,
    kEdgeTopLeft = 4,
    kEdgeTopRight = 5,
    kEdgeBottom = 6,
    kEdgeBottomLeft = 7,
    kEdgeBottomRight = 8,
};

// The registered windows and their attachments. A window is attached when it
// is visible, has a parent and touches it, or touches an attached sibling.
// While a window is dragged its attached children move along with it, keeping
// their offsets from where the drag began.
class TMagnetModel {
public:
    explicit TMagnetModel(IMagnetDesktop& desktop) : desktop_(desktop) {}

    int SnapDistance() const { return snap_; }
    void SetSnapDistance(int d) { snap_ = d; }

    // False for a window already registered, an invalid window or an invalid
    // parent (0 is no parent; a window is never its own parent).
    bool AddWindow(TMagWindow w, TMagWindow parent);
    // False for an unknown window. Its children keep their registration
    // without a parent.
    bool RemoveWindow(TMagWindow w);
    void UpdateAttachments();

    // A move or size of `w` begins: takes the work area, every window's
    // rectangle (a maximised one counts as the work area) and the cursor.
    void BeginMove(TMagWindow w);
    // `r` is the rectangle the system proposes; it becomes the snapped one.
    // Attached children are moved along.
    void SnapMoving(TMagWindow w, TMagRect& r);
    void SnapSizing(TMagWindow w, TMagRect& r, int edge);

    bool IsRegistered(TMagWindow w) const { return Find(w) >= 0; }
    bool IsAttached(TMagWindow w) const;
    TMagWindow ParentOf(TMagWindow w) const;
    int Count() const { return static_cast<int>(items_.size()); }

private:
    struct Item {
        TMagWindow window = 0;
        TMagWindow parent = 0;
        bool attached = false;
    };
    int Find(TMagWindow w) const;  // index into items_, −1 when unknown
    // The eight edge tests of `r` against `t`, each that holds overwriting dx/dy.
    void EdgeTests(const TMagRect& r, const TMagRect& t, int& dx, int& dy) const;

    IMagnetDesktop& desktop_;
    int snap_ = 10;
    std::vector<Item> items_;
    // [0]: the work area; [i + 1]: items_[i]'s rectangle.
    std::vector<TMagRect> rects_{TMagRect{}};
    TMagPoint startCursor_, currentCursor_, grabOffset_;
};

}  // namespace tempora
