#include "app/Views.h"

namespace tempora {

bool BarIsLow(int barTop, int screenHeight, int screenTop) {
    return barTop - screenTop > screenHeight / 2;
}

int DockedViewTop(int barTop, int barHeight, int viewHeight, int screenHeight, int screenTop) {
    return BarIsLow(barTop, screenHeight, screenTop) ? barTop - viewHeight : barTop + barHeight;
}

}  // namespace tempora
