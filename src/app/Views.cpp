#include "app/Views.h"

#include <algorithm>

namespace tempora {

bool BarIsLow(int barTop, int screenHeight, int screenTop) {
    return barTop - screenTop > screenHeight / 2;
}

int DockedViewTop(int barTop, int barHeight, int viewHeight, int screenHeight, int screenTop) {
    return BarIsLow(barTop, screenHeight, screenTop) ? barTop - viewHeight : barTop + barHeight;
}

TViewPoint KeepOnWorkArea(const TViewRect& view, const TViewRect& workArea) {
    const auto along = [](int from, int size, int low, int high) {
        return std::max(low, std::min(from, high - size));
    };
    return {along(view.left, view.right - view.left, workArea.left, workArea.right),
            along(view.top, view.bottom - view.top, workArea.top, workArea.bottom)};
}

TViewPoint ReplacedView(const TViewRect& bar, const TViewRect& view, bool docked,
                        const TViewRect& monitor, const TViewRect& workArea) {
    TViewRect placed = view;
    if (docked) {
        const int height = view.bottom - view.top;
        placed.top = DockedViewTop(bar.top, bar.bottom - bar.top, height,
                                   monitor.bottom - monitor.top, monitor.top);
        placed.bottom = placed.top + height;
    }
    return KeepOnWorkArea(placed, workArea);
}

}  // namespace tempora
