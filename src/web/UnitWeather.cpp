#include "web/UnitWeather.h"

#include "core/Text.h"

namespace tempora {

namespace {

bool IsLabelChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
}

bool ValidName(std::string_view name) {
    if (name.empty() || name.size() > 253)
        return false;
    size_t start = 0;
    while (start <= name.size()) {
        size_t dot = name.find('.', start);
        if (dot == std::string_view::npos)
            dot = name.size();
        const std::string_view label = name.substr(start, dot - start);
        if (label.empty() || label.size() > 63 || label.front() == '-' || label.back() == '-')
            return false;
        for (char c : label) {
            if (!IsLabelChar(c))
                return false;
        }
        start = dot + 1;
    }
    return true;
}

bool ValidPort(std::string_view port) {
    if (port.empty() || port.size() > 5)
        return false;
    int value = 0;
    for (char c : port) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    return value >= 1 && value <= 65535;
}

}  // namespace

std::optional<std::string> WeatherHostOf(std::string_view configured) {
    const std::string host(Trim(configured));
    const size_t colon = host.find(':');
    const std::string_view name = std::string_view(host).substr(0, colon);
    if (!ValidName(name))
        return std::nullopt;
    if (colon != std::string::npos && !ValidPort(std::string_view(host).substr(colon + 1)))
        return std::nullopt;
    return host;
}

std::string WeatherUrl(std::string_view host) {
    return "http://" + std::string(host) + std::string(kWeatherPage);
}

}  // namespace tempora
