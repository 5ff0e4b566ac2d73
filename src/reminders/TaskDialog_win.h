// What the task dialogs share: a modal window of a fixed client size,
// centred on the work area of its owner's monitor, dressed in the dialog
// frame with its title, casting the soft shadow, its controls in 宋体 9 pt;
// and the owner-drawn pop-up menus they drop down.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "display/MenuController_win.h"
#include "display/ufrmShadowFrame_win.h"
#include "win/Handles_win.h"
#include "win/Window_win.h"

namespace tempora {

class TTaskDialog : public TWindow {
public:
    ~TTaskDialog() override;

    // Runs the dialog until it closes and leaves it hidden; the owner is
    // disabled meanwhile. Enter presses the default button (IDOK), Escape
    // and the frame's close button cancel, Tab walks the controls. IDOK or
    // IDCANCEL; IDCANCEL too when the window goes or the program quits
    // (WM_QUIT is posted again for the program's own loop).
    int ShowModal();
    HWND Item(int id) const { return GetDlgItem(Handle(), id); }
    const TFormShadow& Shadow() const { return shadow_; }

protected:
    // Creates the window hidden with a client area of width x height, owned by
    // `owner` (may be null), and dresses it in the frame with `title`.
    bool CreateDialogWindow(HWND owner, const wchar_t* className, std::string_view title, int width,
                            int height);
    // A child control in the dialog's font.
    HWND AddControl(const wchar_t* cls, std::string_view text, DWORD style, int x, int y, int w,
                    int h, int id, DWORD exStyle = 0);
    void EndModal(int result);
    HFONT Font() const { return font_.Get(); }

    // IDOK closes with IDOK when Accept agrees; IDCANCEL closes with
    // IDCANCEL; every other command goes to Command.
    virtual void Command(int id, int code) = 0;
    virtual bool Accept() { return true; }
    virtual HWND FirstFocus() const { return Item(IDOK); }
    // A message of the modal loop before the dialog keys see it; true when
    // it was handled.
    virtual bool PreTranslate(const MSG&) { return false; }
    // WM_NOTIFY from a control.
    virtual LRESULT Notify(NMHDR*) { return 0; }

    struct MenuItem {
        int id = 0;  // 0: a separator
        std::string caption;
        bool enabled = true;
    };
    // Shows an owner-drawn pop-up menu at `screenAt`; the chosen item comes
    // back as WM_COMMAND.
    void PopupMenu(const std::vector<MenuItem>& items, POINT screenAt);

    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    int modalResult_ = 0;
    GdiObject<HFONT> font_;
    TFormShadow shadow_;
    std::unique_ptr<TMenuController> menuPainter_;
};

// The window's text, UTF-8.
std::string TaskWindowText(HWND hwnd);

}  // namespace tempora
