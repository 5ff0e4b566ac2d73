// What the weather view opens: the weather page on the configured web host.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tempora {

// The weather page's path on the host.
inline constexpr std::string_view kWeatherPage = "/Weather_Tempora.htm";

// The host of skin.ini's WEB/Host as the weather view may use it: a plain
// host name or IPv4 address, optionally with ":port" (1-65535), surrounding
// blanks ignored. Anything else (a path, a scheme, a user, spaces, quotes,
// non-ASCII text) gives nothing: such a value would send the browser
// somewhere the user did not mean.
std::optional<std::string> WeatherHostOf(std::string_view configured);

// "http://" + host + the weather page.
std::string WeatherUrl(std::string_view host);

}  // namespace tempora
