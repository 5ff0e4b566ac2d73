#include "CalendarDialog_win.h"

#include "core/ClockSource.h"
#include "core/Encoding.h"

namespace tempora {

void ShowInvalidDate(HWND owner, std::string_view solarKey) {
    const int year = DecodeDate(ClockSource::Current().NowLocal()).year;
    const std::string key(solarKey.substr(0, 4));
    const std::string text = "日期无效：" + std::to_string(year) + "年没有" + key.substr(0, 2) +
                             "月" + (key.size() > 2 ? key.substr(2) : std::string()) +
                             "日，无法换算成农历。";
    MessageBoxW(owner, Utf8ToWide(text).c_str(), L"警告", MB_OK | MB_ICONWARNING);
}

bool SaveMarksOrTell(HWND owner, TCalendarMarks& marks, const std::string& dataDir) {
    if (marks.SaveMarks(dataDir))
        return true;
    const std::string text = "无法保存日历标记文件：\n" + dataDir + kMarksFileName +
                             "\n\n文件可能是只读的，或磁盘已满。原来的文件没有改动；"
                             "这次的修改在程序关闭前仍然有效，下次修改标记时会再次尝试保存。";
    MessageBoxW(owner, Utf8ToWide(text).c_str(), L"警告", MB_OK | MB_ICONWARNING);
    return false;
}

}  // namespace tempora
