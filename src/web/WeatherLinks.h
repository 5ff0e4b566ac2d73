// Where the weather view's browser may go. The page comes from the configured
// web host and stays there: a link, redirect or script aiming elsewhere is
// refused, and a web link the user clicked opens in the user's own browser.
#pragma once

#include <string_view>

namespace tempora {

enum class TWeatherLink {
    Follow,       // the browser goes there
    Refuse,       // the navigation is cancelled
    OpenOutside,  // cancelled, and the address handed to the user's browser
};

// `url` is the address the browser is about to open, `host` the configured
// host as ServerHostOf gives it ("name" or "name:port"), `clicked` whether the
// user clicked in the page just before. The configured host is followed by
// http and https alike (its name compared without case, port 80 or 443 the
// same as none for its scheme); about:blank is followed, any other scheme
// refused; another http or https host opens outside when clicked, otherwise
// it is refused.
TWeatherLink WeatherLinkAction(std::string_view url, std::string_view host, bool clicked);

}  // namespace tempora
