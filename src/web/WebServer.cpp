#include "web/WebServer.h"

#include "core/Text.h"
#include "web/AdFile.h"

namespace tempora {

namespace {

// A host name's label: ASCII letters, digits, '-' and '_' (Windows network
// names use it), neither starting nor ending with '-'.
bool ValidLabel(std::string_view label) {
    if (label.empty() || label.size() > 63 || label.front() == '-' || label.back() == '-')
        return false;
    for (char c : label) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '-' || c == '_';
        if (!ok)
            return false;
    }
    return true;
}

bool ValidName(std::string_view name) {
    if (name.empty() || name.size() > 253)
        return false;
    size_t start = 0;
    for (;;) {
        const size_t dot = name.find('.', start);
        if (!ValidLabel(name.substr(start, dot == std::string_view::npos ? dot : dot - start)))
            return false;
        if (dot == std::string_view::npos)
            return true;
        start = dot + 1;
    }
}

}  // namespace

std::optional<std::string> ServerHostOf(std::string_view configured) {
    const std::string_view text = Trim(configured);
    const size_t colon = text.find(':');
    if (!ValidName(text.substr(0, colon)))
        return std::nullopt;
    if (colon != std::string_view::npos) {
        const std::string_view port = text.substr(colon + 1);
        uint64_t value = 0;
        if (port.size() > 5 || !ParseUnsigned(port, value) || value < 1 || value > 65535)
            return std::nullopt;
    }
    return std::string(text);
}

std::string ServerUrl(std::string_view host, std::string_view path) {
    return "http://" + std::string(host) + std::string(path);
}

std::optional<std::string> HomePageOf(std::string_view configured) {
    const std::string_view text = Trim(configured);
    if (!IsWebTarget(text))
        return std::nullopt;
    return std::string(text);
}

}  // namespace tempora
