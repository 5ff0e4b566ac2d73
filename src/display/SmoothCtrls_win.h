// The Windows side of TFadeText's labels: the registered owner and
// organisation of the installation, and the program's title.
#pragma once

#include <string>

#include "display/SmoothCtrls.h"

namespace tempora {

class TWinSystemLabels final : public TSystemLabels {
public:
    // Reads the installation record once; a missing owner falls back to the
    // login user name, a missing organisation to an empty text.
    TWinSystemLabels();
    std::string RegisteredOwner() const override { return owner_; }
    std::string RegisteredOrganization() const override { return organization_; }
    std::string AppTitle() const override { return "嘀嗒桌面时钟"; }

private:
    std::string owner_, organization_;
};

}  // namespace tempora
