// What the web features' dialogs share: a modal window of a fixed client
// size, centred on the work area of its owner's monitor, dressed in the dialog
// frame with its title, casting the soft shadow, its controls in 宋体 9 pt,
// and link labels that open their web address.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "display/ufrmShadowFrame_win.h"
#include "win/Handles_win.h"
#include "win/Window_win.h"

namespace tempora {

// Hands a web address to the shell; false when it was not opened.
using OpenDocumentFn = std::function<bool(const std::string& address)>;

class TWebDialog : public TWindow {
public:
    ~TWebDialog() override;

    // Runs the dialog until it closes and leaves it hidden; the owner is
    // disabled meanwhile. Enter presses the default button (IDOK), Escape
    // and the frame's close button cancel. IDOK or IDCANCEL; IDCANCEL too
    // when the window goes or the program quits (WM_QUIT is posted again for
    // the program's own loop).
    int ShowModal();
    HWND Item(int id) const { return GetDlgItem(Handle(), id); }
    const TFormShadow& Shadow() const { return shadow_; }
    // The address a link label opens; empty for other controls.
    std::string LinkOf(int id) const;

protected:
    // Creates the window hidden with a client area of width x height, owned
    // by `owner` (may be null), dressed in the frame with `title`.
    bool CreateDialogWindow(HWND owner, const wchar_t* className, std::string_view title, int width,
                            int height);
    HWND AddControl(const wchar_t* cls, std::string_view text, DWORD style, int x, int y, int w,
                    int h, int id);
    // A blue, underlined label that opens `address` through `open` when
    // clicked, with a hand cursor over it.
    HWND AddLink(std::string_view text, const std::string& address, int x, int y, int w, int h,
                 int id);
    void SetLink(int id, std::string_view text, const std::string& address);

    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

    OpenDocumentFn open_;

private:
    void EndModal(int result);

    int modalResult_ = 0;
    GdiObject<HFONT> font_, linkFont_;
    std::map<int, std::string> links_;
    TFormShadow shadow_;
};

}  // namespace tempora
