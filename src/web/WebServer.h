// Where the web features go: the host of skin.ini's WEB/Host and the home
// page of WEB/HomePage. The shipped settings name neither, so a fresh
// installation asks the network for nothing.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tempora {

// The weather page's path on the host.
inline constexpr std::string_view kWeatherPage = "/Weather_Tempora.htm";

// The configured host as the downloads and the weather view may use it: a host
// name or IPv4 address (dot-separated labels of ASCII letters, digits, '-' and
// '_'), optionally followed by ":port" (1-65535), surrounding blanks ignored.
// Anything else (a scheme, a path, a user, spaces, quotes, non-ASCII text)
// gives nothing: such a value would send a download or the browser somewhere
// the user did not mean.
std::optional<std::string> ServerHostOf(std::string_view configured);

// "http://" + host + path.
std::string ServerUrl(std::string_view host, std::string_view path);

// The configured home page when it is a web address (IsWebTarget), surrounding
// blanks ignored; otherwise nothing.
std::optional<std::string> HomePageOf(std::string_view configured);

}  // namespace tempora
