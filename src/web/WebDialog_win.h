// What the web features' dialogs add to the dialog base: link labels that
// open their web address.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "display/Dialog_win.h"
#include "core/Handles_win.h"

namespace tempora {

// Hands a web address to the shell; false when it was not opened.
using OpenDocumentFn = std::function<bool(const std::string& address)>;

class TWebDialog : public TDialog {
public:
    ~TWebDialog() override;

    // The address a link label opens; empty for other controls.
    std::string LinkOf(int id) const;

protected:
    // A blue, underlined label that opens `address` through `open` when
    // clicked, with a hand cursor over it.
    HWND AddLink(std::string_view text, const std::string& address, int x, int y, int w, int h,
                 int id);
    void SetLink(int id, std::string_view text, const std::string& address);

    void Command(int id, int code) override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

    OpenDocumentFn open_;

private:
    GdiObject<HFONT> linkFont_;
    std::map<int, std::string> links_;
};

}  // namespace tempora
