#include "calendar/MarkIcs_win.h"

#include "calendar/MarkIcs.h"
#include "core/ClockSource.h"
#include "core/Encoding.h"

#include <commdlg.h>

namespace tempora {

std::string ChooseIcsFile(HWND owner) {
    std::wstring file(MAX_PATH * 4, L'\0');
    const std::wstring suggested = L"日历标记.ics";
    file.replace(0, suggested.size(), suggested);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = L"日历文件(*.ics)\0*.ics\0所有文件(*.*)\0*.*\0";
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrTitle = L"导出为日历文件";
    ofn.lpstrDefExt = L"ics";
    ofn.Flags =
        OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetSaveFileNameW(&ofn))
        return {};
    file.resize(wcslen(file.c_str()));
    return WideToUtf8(file);
}

bool ExportMarksIcs(HWND owner, const TCalendarMarks& marks, const std::string& path, int years) {
    const ClockSource& clock = ClockSource::Current();
    const int thisYear = DecodeDate(clock.NowLocal()).year;
    if (WriteMarksIcsFile(path, marks, thisYear, years, clock.NowUtc()))
        return true;
    const std::wstring text =
        L"无法写入日历文件：\n" + Utf8ToWide(path) + L"\n\n请检查该文件夹是否存在并且可以写入。";
    MessageBoxW(owner, text.c_str(), L"警告", MB_OK | MB_ICONWARNING);
    return false;
}

}  // namespace tempora
