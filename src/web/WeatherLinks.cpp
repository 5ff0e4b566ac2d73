#include "web/WeatherLinks.h"

#include "core/Text.h"

#include <string>

namespace tempora {

namespace {

bool StartsNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && EqualsNoCase(s.substr(0, prefix.size()), prefix);
}

// "name[:port]" with the scheme's default port dropped.
std::string WithoutDefaultPort(std::string_view authority, std::string_view defaultPort) {
    const size_t colon = authority.rfind(':');
    if (colon != std::string_view::npos && authority.substr(colon + 1) == defaultPort)
        authority = authority.substr(0, colon);
    return std::string(authority);
}

}  // namespace

TWeatherLink WeatherLinkAction(std::string_view url, std::string_view host, bool clicked) {
    if (EqualsNoCase(url, "about:blank"))
        return TWeatherLink::Follow;
    std::string_view rest;
    std::string_view defaultPort;
    if (StartsNoCase(url, "http://")) {
        rest = url.substr(7);
        defaultPort = "80";
    } else if (StartsNoCase(url, "https://")) {
        rest = url.substr(8);
        defaultPort = "443";
    } else {
        return TWeatherLink::Refuse;
    }
    std::string_view authority = rest.substr(0, rest.find_first_of("/?#\\"));
    // A user part before '@' names no host: "http://host@elsewhere/" goes elsewhere.
    if (const size_t at = authority.rfind('@'); at != std::string_view::npos)
        authority = authority.substr(at + 1);
    if (!host.empty() && !authority.empty() &&
        EqualsNoCase(WithoutDefaultPort(authority, defaultPort),
                     WithoutDefaultPort(host, defaultPort))) {
        return TWeatherLink::Follow;
    }
    return clicked ? TWeatherLink::OpenOutside : TWeatherLink::Refuse;
}

}  // namespace tempora
