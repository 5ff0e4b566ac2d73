#include "app/OptionsPages_win.h"

#include "core/Encoding.h"
#include "core/FileSys.h"
#include "core/Text.h"
#include "display/SupFun.h"

#include <commctrl.h>

namespace tempora {

void FillPackageList(HWND list, const std::string& folder, const char* suffix,
                     const std::string& current, std::vector<std::string>& paths) {
    paths.clear();
    ListView_DeleteAllItems(list);
    int selected = 0;
    for (const std::string& name : ListFiles(folder, suffix)) {
        if (IsSkinVariantName(name))
            continue;  // a larger companion of a package, not one to choose
        std::wstring caption = Utf8ToWide(name);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(paths.size());
        item.pszText = caption.data();
        ListView_InsertItem(list, &item);
        if (EqualsNoCase(name, current))
            selected = static_cast<int>(paths.size());
        paths.push_back(folder + name);
    }
    if (!paths.empty()) {
        ListView_SetItemState(list, selected, LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
        ListView_EnsureVisible(list, selected, FALSE);
    }
}

}  // namespace tempora
