#include "app/ProgramMenus_win.h"

#include "app/res/Icons.rc.h"

namespace tempora {

namespace {

// The menus' layouts; the commands behind the ids come from the features.
constexpr TMenuEntry kOptionsItems[] = {
    {PM_OptionsNor, L"常规设置"},   {PM_OptionsBS, L"报时设置"},  {PM_OptionsSkin, L"皮肤更换"},
    {PM_OptionsClock, L"时钟样式"}, {PM_OptionsMsg, L"消息设置"}, {PM_OptionsTime, L"时间校正"},
};
constexpr TMenuEntry kViewItems[] = {
    {PM_Smp, L"精简"}, {PM_Clock, L"时钟"}, {PM_Calendar, L"日历"}, {PM_Weather, L"天气"}, {}};
constexpr TMenuEntry kTrayItems[] = {{PM_Open, L"打开窗口"}, {PM_Hide1, L"隐藏窗口"}, {}};
constexpr TMenuEntry kSwitchItems[] = {{PM_Calendar, L"日历"}, {PM_Weather, L"天气"}};
constexpr TMenuEntry kClockItems[] = {
    {PM_TaskOptions, L"定时任务", 5},
    {PM_WorldTime, L"城市时间查询", 7},
    {},
    {PM_OptionsClock, L"时钟样式"},
    {PM_OptionsTime, L"时间校正"},
    {},
    {0, L"切换到", -1, kSwitchItems},
    {PM_Hide, L"关闭窗口"},
};
constexpr TMenuEntry kCommonItems[] = {
    {PM_TaskOptions, L"定时任务", 5},
    {PM_CalOptions, L"日历标记", 6},
    {PM_WorldTime, L"城市时间查询", 7},
    {0, L"系统设置", 0, kOptionsItems},
    {},
    {PM_HomePage, L"主页", 4},
    {PM_Help, L"帮助", 1},
    {PM_About, L"关于", 3},
    {PM_Exit, L"退出", 2},
};

// Each painter owns its strip of item pictures.
std::unique_ptr<TMenuController> MakePainter() {
    return std::make_unique<TMenuController>(
        static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_MENUICONS),
                                        IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

}  // namespace

TProgramMenus::TProgramMenus(HWND owner, const TCommandTable& commands)
    : owner_(owner), commands_(commands), painter_(MakePainter()), clockPainter_(MakePainter()) {
    main_ = BuildMenu(*painter_, {kViewItems, kCommonItems}, commands_);
    tray_ = BuildMenu(*painter_, {kTrayItems, kCommonItems}, commands_);
    clock_ = BuildMenu(*clockPainter_, {kClockItems}, commands_);
}

void TProgramMenus::Prepare(HMENU menu) const {
    TickMenu(menu, commands_, PM_Smp, PM_Weather);
}

void TProgramMenus::Show(HMENU menu, POINT at, bool fromTray) {
    Prepare(menu);
    if (OnTooltips)
        OnTooltips(false);
    // Without the foreground the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(owner_);
    const UINT flags = TPM_RETURNCMD | TPM_NONOTIFY | (fromTray ? TPM_RIGHTBUTTON : TPM_LEFTBUTTON);
    const UINT id = static_cast<UINT>(TrackPopupMenu(menu, flags, at.x, at.y, 0, owner_, nullptr));
    PostMessageW(owner_, WM_NULL, 0, 0);
    if (OnTooltips)
        OnTooltips(true);
    if (id)
        commands_.Run(id);
}

}  // namespace tempora
