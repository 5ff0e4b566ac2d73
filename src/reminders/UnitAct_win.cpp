#include "UnitAct_win.h"

#include "core/Encoding.h"
#include "core/FileSys.h"
#include "reminders/TaskList.h"

#include <commctrl.h>
#include <commdlg.h>

namespace tempora {

namespace {

constexpr int kButtonW = 80, kButtonH = 26, kButtonY = 130;

bool Checked(HWND button) {
    return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

}  // namespace

TFrmAct::~TFrmAct() {
    if (tip_)
        DestroyWindow(tip_);
}

bool TFrmAct::Create(HWND owner, bool adding, const std::string& payload) {
    if (!CreateDialogWindow(owner, kClassName, adding ? "添加执行命令" : "编辑执行命令", kWidth,
                            kHeight)) {
        return false;
    }
    AddControl(WC_BUTTONW, "关机", WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, 24, 42, 120, 20,
               ShutdownRadioId);
    AddControl(WC_BUTTONW, "执行或打开文件", BS_AUTORADIOBUTTON, 24, 70, 140, 20, FileRadioId);
    const HWND path = AddControl(WC_EDITW, "", WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL, 42, 96, 270,
                                 22, PathEditId, WS_EX_CLIENTEDGE);
    AddControl(WC_BUTTONW, "...", WS_TABSTOP | BS_PUSHBUTTON, 316, 96, 26, 22, BrowseButtonId);
    AddControl(WC_BUTTONW, "确定(&O)", WS_TABSTOP | BS_DEFPUSHBUTTON, 176, kButtonY, kButtonW,
               kButtonH, IDOK);
    AddControl(WC_BUTTONW, "取消(&C)", WS_TABSTOP | BS_PUSHBUTTON, 262, kButtonY, kButtonW,
               kButtonH, IDCANCEL);

    tip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0,
                           0, 0, Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    if (tip_) {
        TOOLINFOW ti{};
        ti.cbSize = sizeof ti;
        ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        ti.hwnd = Handle();
        ti.uId = reinterpret_cast<UINT_PTR>(path);
        ti.lpszText = const_cast<wchar_t*>(L"");
        SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
    if (!adding) {
        const bool shutdown = payload == kShutdownPayload;
        CheckDlgButton(Handle(), shutdown ? ShutdownRadioId : FileRadioId, BST_CHECKED);
        if (!shutdown)
            SetWindowTextW(path, Utf8ToWide(payload).c_str());
    }
    UpdatePathControls();
    return true;
}

std::string TFrmAct::PathHint() const {
    return WideToUtf8(hint_);
}

void TFrmAct::UpdatePathControls() {
    const bool file = Checked(Item(FileRadioId));
    EnableWindow(Item(PathEditId), file);
    EnableWindow(Item(BrowseButtonId), file);
    hint_ = Utf8ToWide(WindowTextOf(Item(PathEditId)));
    if (tip_) {
        TOOLINFOW ti{};
        ti.cbSize = sizeof ti;
        ti.uFlags = TTF_IDISHWND;
        ti.hwnd = Handle();
        ti.uId = reinterpret_cast<UINT_PTR>(Item(PathEditId));
        ti.lpszText = hint_.data();
        SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
    }
}

void TFrmAct::Browse() {
    std::wstring file(MAX_PATH * 4, L'\0');
    const std::wstring current = Utf8ToWide(WindowTextOf(Item(PathEditId)));
    if (current.size() < file.size())
        file.replace(0, current.size(), current);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = Handle();
    ofn.lpstrFilter = L"所有文件(*.*)\0*.*\0";
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrTitle = L"选择文件";
    ofn.Flags =
        OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameW(&ofn))
        return;
    file.resize(wcslen(file.c_str()));
    SetWindowTextW(Item(PathEditId), file.c_str());
}

void TFrmAct::Command(int id, int code) {
    if ((id == ShutdownRadioId || id == FileRadioId) && code == BN_CLICKED)
        UpdatePathControls();
    else if (id == PathEditId && code == EN_CHANGE)
        UpdatePathControls();
    else if (id == BrowseButtonId && code == BN_CLICKED)
        Browse();
}

bool TFrmAct::Accept() {
    if (Checked(Item(ShutdownRadioId))) {
        payload_ = kShutdownPayload;
        return true;
    }
    if (!Checked(Item(FileRadioId))) {
        MessageBoxW(Handle(), L"请选择一个执行项目", L"提示", MB_OK | MB_ICONINFORMATION);
        return false;
    }
    const std::string path = WindowTextOf(Item(PathEditId));
    if (!FileExists(path)) {
        const std::string text = "\"" + path + "\"\r\n文件不存在";
        MessageBoxW(Handle(), Utf8ToWide(text).c_str(), L"提示", MB_OK | MB_ICONINFORMATION);
        return false;
    }
    payload_ = path;
    return true;
}

bool EditRunAction(HWND owner, bool adding, std::string& payload) {
    TFrmAct form;
    if (!form.Create(owner, adding, payload) || form.ShowModal() != IDOK)
        return false;
    payload = form.Payload();
    return true;
}

}  // namespace tempora
