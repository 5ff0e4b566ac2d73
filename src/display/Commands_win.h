// The menus as a command table: each feature adds rows (what a menu item
// does, and whether it shows a tick), and the menus are built from a fixed
// layout. An item whose command no feature added yet shows greyed.
#pragma once

#include "display/MenuController_win.h"
#include "core/Handles_win.h"

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <map>
#include <span>

namespace tempora {

class TCommandTable {
public:
    void Add(UINT id, std::function<void()> run, std::function<bool()> checked = {});
    bool Has(UINT id) const { return rows_.count(id) != 0; }
    // Runs the command; false when no feature added it.
    bool Run(UINT id) const;
    bool Checked(UINT id) const;

private:
    struct Row {
        std::function<void()> run;
        std::function<bool()> checked;
    };
    std::map<UINT, Row> rows_;
};

// One line of a menu layout: an item (id != 0), a separator (id 0, no
// caption) or a submenu (id 0, a caption and its items).
struct TMenuEntry {
    UINT id = 0;
    const wchar_t* caption = nullptr;
    int image = -1;
    std::span<const TMenuEntry> items = {};
};

// Builds an owner-drawn pop-up menu from a layout given in parts, one after
// the other; items without a command are greyed. The menu owns its submenus.
MenuHandle BuildMenu(TMenuController& painter,
                     std::initializer_list<std::span<const TMenuEntry>> layout,
                     const TCommandTable& commands);
// Sets every item's tick from the table (radio marks for `radioFirst` ..
// `radioLast`), submenus included; called as the menu opens.
void TickMenu(HMENU menu, const TCommandTable& commands, UINT radioFirst, UINT radioLast);

}  // namespace tempora
