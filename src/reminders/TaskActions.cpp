#include "TaskActions.h"

namespace tempora {

std::string ZeroPad(int number, int width) {
    std::string digits = std::to_string(number);
    const size_t sign = number < 0 ? 1 : 0;
    if (width > 0 && digits.size() < static_cast<size_t>(width))
        digits.insert(sign, static_cast<size_t>(width) - digits.size(), '0');
    return digits;
}

}  // namespace tempora
