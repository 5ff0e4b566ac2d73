#include "web/UnitHomepage_win.h"

#include "core/Encoding.h"
#include "web/AdFile.h"

namespace tempora {

namespace {
constexpr wchar_t kStartPageKey[] = L"SoftWare\\MicroSoft\\Internet Explorer\\Main";
constexpr wchar_t kStartPageValue[] = L"Start Page";
// A start page longer than this is read as empty: no address is that long.
constexpr DWORD kMaxStartPageChars = 4096;
}  // namespace

std::string ReadStartPage() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kStartPageKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return {};
    std::wstring value(kMaxStartPageChars + 1, L'\0');
    DWORD type = 0, bytes = kMaxStartPageChars * sizeof(wchar_t);
    const LONG got = RegQueryValueExW(key, kStartPageValue, nullptr, &type,
                                      reinterpret_cast<BYTE*>(value.data()), &bytes);
    RegCloseKey(key);
    if (got != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return {};
    value.resize(bytes / sizeof(wchar_t));
    // The stored text may or may not end in its terminator.
    value.resize(std::wstring(value.c_str()).size());
    return WideToUtf8(value);
}

bool WriteStartPage(const std::string& address) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kStartPageKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const std::wstring value = Utf8ToWide(address);
    const LONG set = RegSetValueExW(key, kStartPageValue, 0, REG_SZ,
                                    reinterpret_cast<const BYTE*>(value.c_str()),
                                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return set == ERROR_SUCCESS;
}

bool TFormHomePage::Create(HWND owner, const std::string& current, const std::string& address,
                           OpenDocumentFn open) {
    if (!CreateDialogWindow(owner, kClassName, "赞助软件作者", kWidth, kHeight))
        return false;
    open_ = std::move(open);
    constexpr DWORD kLabel = SS_LEFT | SS_NOPREFIX;
    AddControl(L"STATIC", "本软件是免费软件，为支持作者的艰辛工作......", kLabel, 24, 48, 392, 16,
               Label1Id);
    AddControl(L"STATIC", "请点击“确定”按钮，将下列网址设为浏览器主页，谢谢！", kLabel, 24, 72, 392,
               16, Label2Id);
    AddLink("当前主页: " + current, current, 40, 102, 376, 16, UiURLLabel1Id);
    AddLink("修改为: " + address, address, 40, 124, 376, 16, UiURLLabel2Id);
    AddControl(L"BUTTON", "确定(&O)", WS_TABSTOP | BS_DEFPUSHBUTTON, kWidth - 200, kHeight - 42, 84,
               26, IDOK);
    AddControl(L"BUTTON", "取消(&C)", WS_TABSTOP | BS_PUSHBUTTON, kWidth - 104, kHeight - 42, 84,
               26, IDCANCEL);
    return true;
}

TOfferResult OfferHomePage(HWND owner, const std::string& address, OpenDocumentFn open) {
    if (!IsWebTarget(address))
        return TOfferResult::NotWeb;
    const std::string current = ReadStartPage();
    if (current == address) {
        MessageBoxW(owner, L"您已经赞助过软件作者，谢谢！", L"信息", MB_OK | MB_ICONINFORMATION);
        return TOfferResult::AlreadySet;
    }
    TFormHomePage form;
    if (!form.Create(owner, current, address, std::move(open)) || form.ShowModal() != IDOK)
        return TOfferResult::Cancelled;
    return WriteStartPage(address) ? TOfferResult::Set : TOfferResult::WriteFailed;
}

}  // namespace tempora
