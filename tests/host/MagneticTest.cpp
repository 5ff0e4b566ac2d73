#include "app/Magnetic.h"

#include <gtest/gtest.h>

#include <map>

using namespace tempora;

namespace {

// A desktop of plain rectangles; moves are applied and recorded.
class FakeDesktop : public IMagnetDesktop {
public:
    struct Win {
        TMagRect rect;
        bool visible = true;
        bool maximised = false;
    };
    std::map<TMagWindow, Win> windows;
    TMagRect workArea{0, 0, 1024, 738};
    TMagPoint cursor;
    std::vector<std::pair<TMagWindow, TMagPoint>> lastMoves;
    int moveBatches = 0;

    bool IsWindow(TMagWindow w) const override { return windows.count(w) != 0; }
    bool IsVisible(TMagWindow w) const override { return IsWindow(w) && windows.at(w).visible; }
    bool IsMaximised(TMagWindow w) const override { return IsWindow(w) && windows.at(w).maximised; }
    TMagRect WindowRect(TMagWindow w) const override {
        return IsWindow(w) ? windows.at(w).rect : TMagRect{};
    }
    TMagRect WorkAreaOf(TMagWindow) const override { return workArea; }
    TMagPoint CursorPos() const override { return cursor; }
    void MoveTogether(const std::vector<std::pair<TMagWindow, TMagPoint>>& moves) override {
        ++moveBatches;
        lastMoves = moves;
        for (const auto& [w, p] : moves) {
            TMagRect& r = windows[w].rect;
            r = {p.x, p.y, p.x + r.Width(), p.y + r.Height()};
        }
    }
};

constexpr TMagWindow kBar = 1, kCalendar = 2, kClock = 3, kOther = 4;

TMagRect At(int left, int top, int width, int height) {
    return {left, top, left + width, top + height};
}

// The bar (332 × 34) with the magnet's program setting of 15 px.
struct Magnet {
    FakeDesktop desktop;
    TMagnetModel model{desktop};

    explicit Magnet(TMagRect bar = At(100, 100, 332, 34)) {
        model.SetSnapDistance(15);
        desktop.windows[kBar] = {bar};
        model.AddWindow(kBar, 0);
    }
    void Add(TMagWindow w, TMagRect r, TMagWindow parent = kBar, bool visible = true) {
        desktop.windows[w] = {r, visible};
        model.AddWindow(w, parent);
    }
    // Grabs `w` 10 px inside its top-left corner, drags the cursor by
    // (dx, dy) and releases: the rectangle the magnet lets it have.
    TMagRect Drag(TMagWindow w, int dx, int dy) {
        const TMagRect start = desktop.windows[w].rect;
        desktop.cursor = {start.left + 10, start.top + 10};
        model.BeginMove(w);
        desktop.cursor = {desktop.cursor.x + dx, desktop.cursor.y + dy};
        // The system's own proposal is ignored: the window follows the cursor.
        TMagRect proposed = At(start.left + dx / 2, start.top, start.Width(), start.Height());
        model.SnapMoving(w, proposed);
        desktop.windows[w].rect = proposed;
        model.UpdateAttachments();
        return proposed;
    }
};

TEST(Magnetic, TouchesNeedsContactOnBothAxesAndASharedEdgeLine) {
    const TMagRect a = At(0, 0, 100, 50);
    const struct {
        TMagRect b;
        bool touches;
    } cases[] = {
        {At(0, 50, 100, 40), true},     // below, edge to edge
        {At(100, 10, 30, 30), true},    // right, edge to edge
        {At(100, 50, 30, 30), true},    // corner to corner
        {At(40, 40, 100, 100), false},  // overlapping, no edge in common
        {At(0, 20, 100, 10), true},     // inside, sharing left and right lines
        {At(0, 56, 100, 40), false},    // a 6 px gap
        {At(0, 300, 100, 40), false},   // same left line, far below
        {At(-50, -30, 50, 30), true},   // negative coordinates, corner to corner
        {At(-300, 0, 150, 50), false},  // same top line, far left
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Touches(a, c.b), c.touches) << c.b.left << "," << c.b.top;
        EXPECT_EQ(Touches(c.b, a), c.touches) << c.b.left << "," << c.b.top;
    }
}

TEST(Magnetic, DraggedBarSnapsToTheWorkAreaWithinTheDistance) {
    // Work area 0,0–1024,738; the bar starts at 100,100 and is 332 × 34.
    const struct {
        TMagRect workArea;
        int dx, dy;
        int left, top;
    } cases[] = {
        {{0, 0, 1024, 738}, 1024 - 14 - 432, 0, 1024 - 332, 100},  // right edge 14 px off: flush
        {{0, 0, 1024, 738}, 1024 - 15 - 432, 0, 1024 - 15 - 332, 100},  // 15 px: stays
        {{0, 0, 1024, 738}, -86, -90, 0, 0},                    // 14 and 10 px off the corner
        {{0, 0, 1024, 738}, -85, 0, 15, 100},                   // 15 px off the left
        {{0, 0, 1024, 738}, 50, 738 - 134 - 3, 150, 738 - 34},  // bottom edge 3 px above
        {{0, 0, 1024, 738}, 0, 738 - 134 + 5, 100, 738 - 34},   // 5 px below the bottom
        // A second monitor left of the primary one: negative coordinates.
        {{-1280, 0, 0, 984}, -444, 0, -332, 100},         // right edge 12 px left of 0
        {{-1280, 0, 0, 984}, -1370, 0, -1280, 100},       // left edge 10 px inside −1280
        {{-1280, -200, 0, 784}, -500, -290, -400, -200},  // 10 px below its top at −200
    };
    for (const auto& c : cases) {
        Magnet m;
        m.desktop.workArea = c.workArea;
        const TMagRect r = m.Drag(kBar, c.dx, c.dy);
        EXPECT_EQ(r, At(c.left, c.top, 332, 34))
            << c.dx << "," << c.dy << " in " << c.workArea.left;
        EXPECT_EQ(m.desktop.moveBatches, 0);
    }
}

TEST(Magnetic, LastTestThatHoldsWins) {
    // A 10-px window dragged to `left` beside a target 100 px above the work
    // area's edges; the edge tests run left-left, left-right, right-left,
    // right-right and the last that holds sets dx.
    const struct {
        int targetLeft, targetWidth, left, expectedLeft;
    } cases[] = {
        // As wide as the target: left-left (−6), left-right (+4) and
        // right-right (−6) hold; right edge to right edge wins over the
        // closer left-right.
        {500, 10, 506, 500},
        // Left-left (−3), right-left (−13), right-right (+7): the right edges
        // line up although the left edges were closer.
        {500, 20, 503, 510},
    };
    for (const auto& c : cases) {
        Magnet m(At(0, 300, 10, 10));
        m.Add(kOther, At(c.targetLeft, 100, c.targetWidth, 10), 0);
        const TMagRect r = m.Drag(kBar, c.left, -200);
        EXPECT_EQ(r.left, c.expectedLeft) << c.left;
        EXPECT_EQ(r.top, 100);
    }
}

TEST(Magnetic, MaximisedWindowCountsAsTheWorkArea) {
    Magnet m;
    // Maximised windows overhang the screen; their frame must not pull the
    // bar off it.
    m.Add(kOther, {-8, -8, 1032, 746}, 0);
    m.desktop.windows[kOther].maximised = true;
    EXPECT_EQ(m.Drag(kBar, 1020 - 432, 0).right, 1024);
    m.desktop.windows[kOther].maximised = false;
    m.desktop.windows[kBar].rect = At(100, 100, 332, 34);
    EXPECT_EQ(m.Drag(kBar, 1020 - 432, 0).right, 1032);
}

TEST(Magnetic, AttachedChainMovesWithTheBarByTheSameOffset) {
    Magnet m;
    m.Add(kCalendar, At(100, 134, 400, 300));            // under the bar
    m.Add(kClock, At(500, 200, 150, 150));               // beside the calendar only
    m.Add(kOther, At(700, 500, 100, 100), kBar, false);  // hidden: never attached
    EXPECT_TRUE(m.model.IsAttached(kCalendar));
    EXPECT_TRUE(m.model.IsAttached(kClock));
    EXPECT_FALSE(m.model.IsAttached(kOther));

    m.Drag(kBar, 200, 50);
    EXPECT_EQ(m.desktop.moveBatches, 1);
    ASSERT_EQ(m.desktop.lastMoves.size(), 2u);
    EXPECT_EQ(m.desktop.windows[kBar].rect, At(300, 150, 332, 34));
    EXPECT_EQ(m.desktop.windows[kCalendar].rect, At(300, 184, 400, 300));
    EXPECT_EQ(m.desktop.windows[kClock].rect, At(700, 250, 150, 150));
    EXPECT_EQ(m.desktop.windows[kOther].rect, At(700, 500, 100, 100));
    EXPECT_TRUE(m.model.IsAttached(kClock));

    // Showing the hidden view where it touches the clock attaches it too.
    m.desktop.windows[kOther] = {At(850, 250, 100, 100), true};
    m.model.UpdateAttachments();
    EXPECT_TRUE(m.model.IsAttached(kOther));
}

TEST(Magnetic, AttachedChildSnapsToFreeWindowsAfterTheBarsOwnTests) {
    Magnet m;
    m.Add(kCalendar, At(100, 134, 400, 300));
    m.Add(kOther, At(800, 300, 100, 100), 0);  // free-standing, beside the calendar only
    // The calendar's right edge comes to 790, 10 px short of the free window:
    // the child's test moves bar and calendar 10 px right together.
    m.Drag(kBar, 290, 0);
    EXPECT_EQ(m.desktop.windows[kBar].rect.left, 400);
    EXPECT_EQ(m.desktop.windows[kCalendar].rect.right, 800);
}

TEST(Magnetic, GapDetachesAViewAndTheBarThenSnapsToIt) {
    Magnet m;
    m.Add(kCalendar, At(100, 134, 400, 300));
    ASSERT_TRUE(m.model.IsAttached(kCalendar));
    // The calendar is dragged away, leaving a 20 px gap under the bar.
    m.Drag(kCalendar, 0, 20);
    EXPECT_EQ(m.desktop.windows[kCalendar].rect.top, 154);
    EXPECT_FALSE(m.model.IsAttached(kCalendar));
    // The bar no longer carries it; it snaps its bottom to the calendar's top.
    m.Drag(kBar, 0, 10);
    EXPECT_EQ(m.desktop.moveBatches, 0);
    EXPECT_EQ(m.desktop.windows[kBar].rect.bottom, 154);
    EXPECT_EQ(m.desktop.windows[kCalendar].rect.top, 154);
    EXPECT_TRUE(m.model.IsAttached(kCalendar));  // touching again
}

TEST(Magnetic, RegistrationAndRemoval) {
    Magnet m;
    m.Add(kCalendar, At(100, 134, 400, 300));
    EXPECT_FALSE(m.model.AddWindow(kCalendar, kBar));  // twice
    EXPECT_FALSE(m.model.AddWindow(99, 0));            // no such window
    m.desktop.windows[kClock] = {At(0, 0, 10, 10)};
    EXPECT_FALSE(m.model.AddWindow(kClock, 98));     // no such parent
    EXPECT_TRUE(m.model.AddWindow(kClock, kClock));  // its own parent: none
    EXPECT_EQ(m.model.ParentOf(kClock), 0u);
    EXPECT_EQ(m.model.Count(), 3);

    EXPECT_FALSE(m.model.RemoveWindow(99));
    EXPECT_TRUE(m.model.RemoveWindow(kBar));
    EXPECT_FALSE(m.model.IsRegistered(kBar));
    EXPECT_TRUE(m.model.IsRegistered(kCalendar));
    EXPECT_EQ(m.model.ParentOf(kCalendar), 0u);
    EXPECT_FALSE(m.model.IsAttached(kCalendar));
    EXPECT_FALSE(m.model.RemoveWindow(kBar));

    // The bar, registered again, carries nothing until its views are too.
    EXPECT_TRUE(m.model.AddWindow(kBar, 0));
    m.Drag(kBar, 40, 0);
    EXPECT_EQ(m.desktop.moveBatches, 0);
    EXPECT_EQ(m.desktop.windows[kCalendar].rect.left, 100);
    ASSERT_TRUE(m.model.RemoveWindow(kCalendar));
    m.desktop.windows[kBar].rect = At(100, 100, 332, 34);
    ASSERT_TRUE(m.model.AddWindow(kCalendar, kBar));
    m.Drag(kBar, 40, 0);
    EXPECT_EQ(m.desktop.windows[kCalendar].rect.left, 140);
}

TEST(Magnetic, SizingSnapsOnlyTheDraggedEdge) {
    const struct {
        int edge;
        TMagRect proposed, expected;
    } cases[] = {
        {kEdgeRight, {100, 100, 1010, 400}, {100, 100, 1024, 400}},
        {kEdgeRight, {100, 100, 1009, 400}, {100, 100, 1009, 400}},  // 15 px: stays
        {kEdgeBottomLeft, {8, 100, 480, 730}, {0, 100, 480, 738}},
        {kEdgeTop, {5, 6, 500, 400}, {5, 0, 500, 400}},               // left edge not sized
        {kEdgeTopRight, {100, 690, 496, 730}, {100, 700, 500, 730}},  // other window's edges
        {kEdgeLeft, {503, 300, 900, 400}, {500, 300, 900, 400}},      // its right edge
    };
    for (const auto& c : cases) {
        Magnet m(At(500, 700, 332, 34));
        m.Add(kOther, At(200, 300, 300, 400), 0);
        m.model.BeginMove(kCalendar);
        TMagRect r = c.proposed;
        m.model.SnapSizing(kCalendar, r, c.edge);
        EXPECT_EQ(r, c.expected) << c.edge << " " << c.proposed.left;
    }
}

}  // namespace
