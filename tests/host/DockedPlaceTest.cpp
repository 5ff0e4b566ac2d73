#include "app/Views.h"

#include <gtest/gtest.h>

using namespace tempora;

namespace {
const TViewRect kMonitor{0, 0, 1280, 800};
const TViewRect kWork{0, 0, 1280, 770};  // the task bar below

TViewRect Box(int left, int top, int width, int height) {
    return {left, top, left + width, top + height};
}
}  // namespace

// A bar moved with its calendar (332 x 390) docked: the calendar goes on the
// side the bar's new place asks for, and never leaves the work area.
TEST(DockedPlaceTest, ADockedViewFollowsTheBarsSideAndStaysOnTheWorkArea) {
    const struct {
        TViewRect bar, view;
        TViewPoint at;
    } cases[] = {
        // A low bar dragged up to the top carried its calendar off the screen:
        // it goes back under the bar.
        {Box(100, 40, 332, 34), Box(100, 40 - 390, 332, 390), {100, 74}},
        // Dragged down past the middle, the calendar goes above the bar.
        {Box(100, 600, 332, 34), Box(100, 634, 332, 390), {100, 210}},
        // Too little room below a bar just above the middle: lifted onto the work area.
        {Box(100, 400, 332, 34), Box(100, 434, 332, 390), {100, 770 - 390}},
        // Off the right and left edges.
        {Box(1100, 40, 332, 34), Box(1100, 74, 332, 390), {1280 - 332, 74}},
        {Box(-200, 40, 332, 34), Box(-200, 74, 332, 390), {0, 74}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReplacedView(c.bar, c.view, true, kMonitor, kWork), c.at)
            << c.bar.left << "," << c.bar.top;
    }
}

TEST(DockedPlaceTest, AViewLeftElsewhereOnlyComesBackOnTheWorkArea) {
    const TViewRect bar = Box(100, 40, 332, 34);
    EXPECT_EQ(ReplacedView(bar, Box(700, 300, 200, 200), false, kMonitor, kWork),
              (TViewPoint{700, 300}));
    EXPECT_EQ(ReplacedView(bar, Box(700, 700, 200, 200), false, kMonitor, kWork),
              (TViewPoint{700, 570}));
    // Larger than the work area: its top-left stays on it.
    EXPECT_EQ(KeepOnWorkArea(Box(-50, -50, 2000, 1000), kWork), (TViewPoint{0, 0}));
}
