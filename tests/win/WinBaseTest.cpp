#include "app/WinBase_win.h"

#include <gtest/gtest.h>

using namespace tempora;

namespace {
class Probe : public TWindow {
public:
    int created = 0, destroyed = 0;
    bool Make() { return CreateWin(L"TemporaProbe", L"probe", WS_POPUP, 0, 0, 0, 10, 10); }

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_CREATE)
            ++created;
        return TWindow::WndProc(msg, wp, lp);
    }
    void Destroyed() override { ++destroyed; }
};
}  // namespace

TEST(WinBase, WindowObjectSeesCreationAndDestruction) {
    Probe p;
    ASSERT_TRUE(p.Make());
    EXPECT_EQ(p.created, 1);
    HWND h = p.Handle();
    ASSERT_TRUE(IsWindow(h));
    DestroyWindow(h);
    EXPECT_EQ(p.destroyed, 1);
    EXPECT_EQ(p.Handle(), nullptr);
    EXPECT_FALSE(IsWindow(h));
}

TEST(WinBase, GdiObjectOwnsAndMovesItsHandle) {
    GdiObject<HBRUSH> a(CreateSolidBrush(RGB(1, 2, 3)));
    HBRUSH raw = a.Get();
    ASSERT_NE(raw, nullptr);
    GdiObject<HBRUSH> b(std::move(a));
    EXPECT_EQ(a.Get(), nullptr);
    EXPECT_EQ(b.Get(), raw);
    EXPECT_NE(GetObjectType(raw), 0u);
    b.Reset();
    EXPECT_EQ(GetObjectType(raw), 0u);  // deleted exactly once, by its last owner
}
