// What the task dialogs add to the dialog base: the owner-drawn pop-up menus
// they drop down.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "display/Dialog_win.h"
#include "display/MenuController_win.h"

namespace tempora {

class TTaskDialog : public TDialog {
protected:
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
    std::unique_ptr<TMenuController> menuPainter_;
};

}  // namespace tempora
