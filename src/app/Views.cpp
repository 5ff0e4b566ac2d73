#include "app/Views.h"

namespace tempora {

bool BarIsLow(int barTop, int screenHeight) {
    return barTop > screenHeight / 2;
}

int DockedViewTop(int barTop, int barHeight, int viewHeight, int screenHeight) {
    return BarIsLow(barTop, screenHeight) ? barTop - viewHeight : barTop + barHeight;
}

}  // namespace tempora
