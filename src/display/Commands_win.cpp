#include "display/Commands_win.h"

namespace tempora {

void TCommandTable::Add(UINT id, std::function<void()> run, std::function<bool()> checked) {
    rows_[id] = Row{std::move(run), std::move(checked)};
}

bool TCommandTable::Run(UINT id) const {
    const auto it = rows_.find(id);
    if (it == rows_.end() || !it->second.run)
        return false;
    it->second.run();
    return true;
}

bool TCommandTable::Checked(UINT id) const {
    const auto it = rows_.find(id);
    return it != rows_.end() && it->second.checked && it->second.checked();
}

namespace {
void AddEntry(TMenuController& painter, HMENU menu, const TMenuEntry& entry,
              const TCommandTable& commands) {
    if (entry.id != 0) {
        painter.Add(menu, entry.id, entry.caption, entry.image, commands.Has(entry.id));
    } else if (!entry.items.empty()) {
        MenuHandle sub = BuildMenu(painter, {entry.items}, commands);
        if (sub)
            painter.AddSubmenu(menu, sub.Release(), entry.caption, entry.image);
    } else {
        painter.AddSeparator(menu);
    }
}
}  // namespace

MenuHandle BuildMenu(TMenuController& painter,
                     std::initializer_list<std::span<const TMenuEntry>> layout,
                     const TCommandTable& commands) {
    MenuHandle menu(CreatePopupMenu());
    if (!menu)
        return menu;
    for (std::span<const TMenuEntry> part : layout) {
        for (const TMenuEntry& entry : part)
            AddEntry(painter, menu.Get(), entry, commands);
    }
    return menu;
}

void TickMenu(HMENU menu, const TCommandTable& commands, UINT radioFirst, UINT radioLast) {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        if (HMENU sub = GetSubMenu(menu, i)) {
            TickMenu(sub, commands, radioFirst, radioLast);
            continue;
        }
        const UINT id = GetMenuItemID(menu, i);
        if (id == 0 || id == static_cast<UINT>(-1))
            continue;
        const bool on = commands.Checked(id);
        if (id >= radioFirst && id <= radioLast) {
            if (on)
                CheckMenuRadioItem(menu, radioFirst, radioLast, id, MF_BYCOMMAND);
        } else {
            CheckMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
        }
    }
}

}  // namespace tempora
