#include "display/ufrmShadowFrame_win.h"

#include <gtest/gtest.h>

#include "WinTestUtil.h"

using namespace tempora;

namespace {

constexpr COLORREF kKey = RGB(255, 0, 255);

// A plain layered owner like the bar: 332 x 34, grey with see-through
// corners. It notes the shadow's place when it handles a position change,
// to show that it handles it before the shadow follows.
class TestOwner : public TWindow {
public:
    bool Create(int x, int y) {
        face.Create(332, 34, 0x404040);
        face.FillRect(0, 0, 3, 3, kKey);
        face.FillRect(329, 31, 3, 3, kKey);
        return CreateWin(L"TShadowTestOwner", L"owner", WS_POPUP, WS_EX_LAYERED | WS_EX_TOOLWINDOW,
                         x, y, 332, 34) &&
               SetLayeredWindowAttributes(Handle(), kKey, 255, LWA_COLORKEY | LWA_ALPHA);
    }

    Bitmap face;
    HWND watched = nullptr;
    RECT watchedAt{};
    int posChanged = 0;

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_WINDOWPOSCHANGED) {
            ++posChanged;
            if (watched)
                GetWindowRect(watched, &watchedAt);
        }
        return TWindow::WndProc(msg, wp, lp);
    }
};

RECT Rect(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return r;
}

::testing::AssertionResult IsRect(const RECT& r, int left, int top, int width, int height) {
    if (r.left == left && r.top == top && r.right - r.left == width && r.bottom - r.top == height) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "(" << r.left << ", " << r.top << ") " << r.right - r.left << " x "
           << r.bottom - r.top << ", expected (" << left << ", " << top << ") " << width << " x "
           << height;
}

void Pump() {
    test::WaitFor([] { return false; }, 30);
}

class ShadowFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(owner_.Create(200, 150));
        ownProc_ = GetWindowLongPtrW(Owner(), GWLP_WNDPROC);
        shadow_.Attach(Owner(), [this] { return &owner_.face; });
        ASSERT_EQ(shadow_.Owner(), Owner());
        ShowWindow(Owner(), SW_SHOWNOACTIVATE);
        Pump();
    }
    HWND Owner() const { return owner_.Handle(); }
    HWND Shadow() const { return shadow_.Handle(); }

    TestOwner owner_;
    TFormShadow shadow_;
    LONG_PTR ownProc_ = 0;
};

}  // namespace

TEST_F(ShadowFrameTest, SitsRightBehindItsOwner16PxLargerOnEverySide) {
    EXPECT_TRUE(IsRect(Rect(Shadow()), 184, 134, 364, 66));
    EXPECT_TRUE(IsWindowVisible(Shadow()));
    EXPECT_EQ(GetWindow(Owner(), GW_HWNDNEXT), Shadow());
    const LONG_PTR ex = GetWindowLongPtrW(Shadow(), GWL_EXSTYLE);
    for (LONG_PTR bit : {LONG_PTR{WS_EX_NOACTIVATE}, LONG_PTR{WS_EX_LAYERED},
                         LONG_PTR{WS_EX_TOOLWINDOW}, LONG_PTR{WS_EX_TRANSPARENT}})
        EXPECT_TRUE(ex & bit) << std::hex << bit;
    EXPECT_EQ(shadow_.Rebuilds(), 1);

    // The owner's face decides the silhouette: its see-through corner lets
    // the shadow through, its visible pixels hide it.
    const Bitmap& s = shadow_.Strength();
    ASSERT_EQ(s.Width(), 364);
    EXPECT_GT(s.At(16, 16) & 0xFF, 0u);
    EXPECT_EQ(s.At(16 + 3, 16 + 3) & 0xFF, 0u);
    EXPECT_GT(s.At(16 + 100, 15) & 0xFF, 0u);
}

TEST_F(ShadowFrameTest, HidesWhileTheOwnerIsMinimisedOrMaximised) {
    const int built = shadow_.Rebuilds();
    for (int state : {SW_MINIMIZE, SW_MAXIMIZE}) {
        ShowWindow(Owner(), state);
        Pump();
        EXPECT_FALSE(IsWindowVisible(Shadow())) << state;
        ShowWindow(Owner(), SW_RESTORE);
        Pump();
        EXPECT_TRUE(IsWindowVisible(Shadow())) << state;
        EXPECT_TRUE(IsRect(Rect(Shadow()), 184, 134, 364, 66)) << state;
    }
    // Back at its old size the owner needs no new picture.
    EXPECT_EQ(shadow_.Rebuilds(), built);
}

TEST_F(ShadowFrameTest, HidesAndShowsWithItsOwner) {
    ShowWindow(Owner(), SW_HIDE);
    EXPECT_FALSE(shadow_.Shown());
    EXPECT_FALSE(IsWindowVisible(Shadow()));
    ShowWindow(Owner(), SW_SHOWNOACTIVATE);
    EXPECT_TRUE(shadow_.Shown());
    EXPECT_TRUE(IsWindowVisible(Shadow()));
}

TEST_F(ShadowFrameTest, FollowsTheOwnersAlpha) {
    EXPECT_EQ(shadow_.SourceAlpha(), 255);
    const int built = shadow_.Rebuilds();
    SetLayeredWindowAttributes(Owner(), kKey, 128, LWA_COLORKEY | LWA_ALPHA);
    shadow_.UpdateShadow();
    EXPECT_EQ(shadow_.SourceAlpha(), 128);
    EXPECT_EQ(shadow_.Rebuilds(), built + 1);
}

TEST_F(ShadowFrameTest, MovesWithItsOwnerWithoutRebuilding) {
    const int built = shadow_.Rebuilds();
    owner_.watched = Shadow();
    RECT before = Rect(Shadow());
    for (POINT p : {POINT{250, 180}, POINT{-40, 600}, POINT{900, 5}}) {
        SetWindowPos(Owner(), nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        EXPECT_TRUE(IsRect(Rect(Shadow()), p.x - 16, p.y - 16, 364, 66));
        // The owner handled the move while its shadow still stood where it was.
        EXPECT_TRUE(IsRect(owner_.watchedAt, before.left, before.top, 364, 66));
        before = Rect(Shadow());
    }
    EXPECT_EQ(shadow_.Rebuilds(), built);
    EXPECT_EQ(GetWindow(Owner(), GW_HWNDNEXT), Shadow());

    // A new size is a new picture.
    SetWindowPos(Owner(), nullptr, 0, 0, 200, 50, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(IsRect(Rect(Shadow()), 900 - 16, 5 - 16, 232, 82));
    EXPECT_EQ(shadow_.Rebuilds(), built + 1);
}

TEST_F(ShadowFrameTest, RebuildsForANewKeyColorOrOnRequestOnly) {
    const int built = shadow_.Rebuilds();
    shadow_.Realign();
    EXPECT_EQ(shadow_.Rebuilds(), built);
    SetLayeredWindowAttributes(Owner(), RGB(0, 255, 0), 255, LWA_COLORKEY | LWA_ALPHA);
    shadow_.Realign();
    EXPECT_EQ(shadow_.Rebuilds(), built + 1);
    // Under a green key the magenta corner is an ordinary visible pixel.
    EXPECT_EQ(shadow_.Strength().At(16, 16) & 0xFF, 0u);
    shadow_.Realign();
    EXPECT_EQ(shadow_.Rebuilds(), built + 1);
    shadow_.UpdateShadow();
    EXPECT_EQ(shadow_.Rebuilds(), built + 2);
}

TEST_F(ShadowFrameTest, SetShownRealignsOnlyOnAChange) {
    const int before = owner_.posChanged;
    shadow_.SetShown(true);
    EXPECT_EQ(owner_.posChanged, before);
    shadow_.SetShown(false);
    shadow_.SetShown(false);
    EXPECT_EQ(owner_.posChanged, before + 1);
    EXPECT_FALSE(IsWindowVisible(Shadow()));
    shadow_.SetShown(true);
    EXPECT_EQ(owner_.posChanged, before + 2);
    EXPECT_TRUE(IsWindowVisible(Shadow()));
}

TEST_F(ShadowFrameTest, DetachingGivesTheOwnerItsOwnHandlingBack) {
    shadow_.Attach(nullptr);
    EXPECT_EQ(GetWindowLongPtrW(Owner(), GWLP_WNDPROC), ownProc_);
    EXPECT_FALSE(IsWindowVisible(Shadow()));
    const RECT left = Rect(Shadow());
    SetWindowPos(Owner(), nullptr, 400, 400, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(IsRect(Rect(Shadow()), left.left, left.top, 364, 66));

    // Attached again, it follows at once.
    shadow_.Attach(Owner(), [this] { return &owner_.face; });
    EXPECT_TRUE(IsRect(Rect(Shadow()), 384, 384, 364, 66));
    EXPECT_TRUE(IsWindowVisible(Shadow()));
}

TEST_F(ShadowFrameTest, AnOwnerThatGoesLeavesTheShadowHidden) {
    DestroyWindow(Owner());
    EXPECT_EQ(shadow_.Owner(), nullptr);
    EXPECT_FALSE(IsWindowVisible(Shadow()));
    // Without an owner every call does nothing.
    shadow_.UpdateShadow();
    shadow_.SetShown(true);
    shadow_.Realign();
    EXPECT_FALSE(IsWindowVisible(Shadow()));
}
