#include "web/WebServer.h"

#include "core/Text.h"
#include "web/AdFile.h"

namespace tempora {

std::optional<std::string> ServerHostOf(std::string_view configured) {
    const std::string_view text = Trim(configured);
    const size_t colon = text.find(':');
    const std::string_view name = text.substr(0, colon);
    if (name.empty() || name.size() > 253 || name.front() == '-' || name.front() == '.')
        return std::nullopt;
    for (char c : name) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_';
        if (!ok)
            return std::nullopt;
    }
    if (colon != std::string_view::npos) {
        uint64_t port = 0;
        if (!ParseUnsigned(text.substr(colon + 1), port) || port < 1 || port > 65535)
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
