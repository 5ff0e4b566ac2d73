#include "web/UnitWeather_win.h"

#include <commctrl.h>
#include <exdisp.h>
#include <exdispid.h>
#include <ole2.h>
#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

#include "core/ClockSource.h"
#include "core/Encoding.h"
#include "core/IniFile.h"
#include "core/Text.h"
#include "display/MyWindow.h"
#include "display/SupFun.h"
#include "web/WeatherLinks.h"
#include "web/WebServer.h"
#include "win/Dpi_win.h"
#include "win/Gdi_win.h"
#include "win/PictureBlit_win.h"

namespace tempora {

// The smallest container the browser control accepts: a client site that
// activates it in place inside the panel, a frame that declines menus and
// borders, and the sink of the browser's events (page complete, page failed,
// a navigation or a new window about to start).
class TBrowserSite final : public IOleClientSite,
                           public IOleInPlaceSite,
                           public IOleInPlaceFrame,
                           public IDispatch {
public:
    // `allow` says whether the browser may open an address; a refused one
    // is cancelled.
    TBrowserSite(HWND panel, std::function<void()> loaded, std::function<void()> failed,
                 std::function<bool(const wchar_t* url)> allow)
        : panel_(panel),
          loaded_(std::move(loaded)),
          failed_(std::move(failed)),
          allow_(std::move(allow)) {}

    // The window is going: no event reaches it any more, and the browser
    // opens nothing more.
    void Detach() {
        loaded_ = nullptr;
        failed_ = nullptr;
        allow_ = nullptr;
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IOleClientSite)
            *out = static_cast<IOleClientSite*>(this);
        else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceSite)
            *out = static_cast<IOleInPlaceSite*>(this);
        else if (riid == IID_IOleInPlaceUIWindow || riid == IID_IOleInPlaceFrame)
            *out = static_cast<IOleInPlaceFrame*>(this);
        else if (riid == IID_IDispatch || riid == DIID_DWebBrowserEvents2)
            *out = static_cast<IDispatch*>(this);
        else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --refs_;
        if (left == 0)
            delete this;
        return left;
    }

    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** out) override {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow (site and frame alike)
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* out) override {
        *out = panel_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc,
                                               LPRECT pos, LPRECT clip,
                                               LPOLEINPLACEFRAMEINFO info) override {
        *frame = this;
        AddRef();
        *doc = nullptr;
        GetClientRect(panel_, pos);
        GetClientRect(panel_, clip);
        info->fMDIApp = FALSE;
        info->hwndFrame = panel_;
        info->haccel = nullptr;
        info->cAccelEntries = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }

    // IOleInPlaceUIWindow and IOleInPlaceFrame: no menus, toolbars or borders.
    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override {
        return INPLACE_E_NOTOOLSPACE;
    }
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    // IDispatch: the browser's events.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                     EXCEPINFO*, UINT*) override {
        if (id == DISPID_NAVIGATEERROR) {
            // Our own message replaces the browser's error page; Cancel is
            // the last argument, which comes first.
            if (params && params->cArgs == 5 && params->rgvarg[0].vt == (VT_BYREF | VT_BOOL))
                *params->rgvarg[0].pboolVal = VARIANT_TRUE;
            if (failed_) {
                const auto failed = failed_;
                failed();
            }
        } else if (id == DISPID_DOCUMENTCOMPLETE && loaded_) {
            const auto loaded = loaded_;
            loaded();
        } else if (id == DISPID_BEFORENAVIGATE2 && params && params->cArgs == 7) {
            // (pDisp, URL, Flags, TargetFrameName, PostData, Headers, Cancel), last first.
            Refuse(params->rgvarg[0], UrlOf(params->rgvarg[5]), false);
        } else if (id == DISPID_NEWWINDOW3 && params && params->cArgs == 5) {
            // (ppDisp, Cancel, dwFlags, bstrUrlContext, bstrUrl): the view
            // opens no windows; the address may still go to the user's browser.
            Refuse(params->rgvarg[3], UrlOf(params->rgvarg[0]), true);
        }
        return S_OK;
    }

    // The browser objects, released in the order that lets them go cleanly.
    IOleObject* object = nullptr;
    IWebBrowser2* browser = nullptr;
    IConnectionPoint* events = nullptr;
    DWORD cookie = 0;

private:
    ~TBrowserSite() = default;

    static const wchar_t* UrlOf(const VARIANT& v) {
        const VARIANT* value = v.vt == (VT_BYREF | VT_VARIANT) ? v.pvarVal : &v;
        if (value && value->vt == VT_BSTR && value->bstrVal)
            return value->bstrVal;
        return L"";
    }
    // Cancels the navigation unless `allow_` takes the address; `always`
    // cancels it in any case (after asking, which may open it outside).
    void Refuse(VARIANT& cancel, const wchar_t* url, bool always) {
        if (cancel.vt != (VT_BYREF | VT_BOOL))
            return;
        const auto allow = allow_;
        const bool allowed = allow && allow(url);
        if (!allowed || always)
            *cancel.pboolVal = VARIANT_TRUE;
    }

    ULONG refs_ = 1;
    HWND panel_;
    std::function<void()> loaded_;
    std::function<void()> failed_;
    std::function<bool(const wchar_t* url)> allow_;
};

namespace {

constexpr int kTitleLeft = 12, kTitleTop = 10;
constexpr UINT kRetryId = 100;

int Today() {
    return static_cast<int>(std::floor(ClockSource::Current().NowLocal()));
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_ERASEBKGND) {
        RECT r;
        GetClientRect(hwnd, &r);
        FillRect(reinterpret_cast<HDC>(wp), &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        return 1;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

TFrmWeather::TFrmWeather(std::string dataDir, TWeatherOptions options)
    : TDockedView(TOnClose::Destroy), dataDir_(std::move(dataDir)), options_(options) {}

TFrmWeather::~TFrmWeather() {
    OnDestroyed = nullptr;
    if (Handle())
        DestroyWindow(Handle());
    DestroyBrowser();
    if (oleStarted_)
        OleUninitialize();
}

bool TFrmWeather::Create(HWND owner) {
    // A view is drawn at its owner's scale.
    scale_ = WindowScale(owner);
    background_ = PlainViewBackground(Px(332), Px(160), Px(38));
    btnGNG_ = PlainViewButton();
    ComposeFace();
    if (!CreateView(kClassName, L"天气", WS_POPUP | WS_CLIPCHILDREN, face_.Width(), face_.Height(),
                    owner, [this] { return &face_; })) {
        return false;
    }
    menuPainter_ = std::make_unique<TMenuController>(nullptr);
    font_.Reset(CreateFontW(scale_.FontHeight(9), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                            GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                            DEFAULT_QUALITY, DEFAULT_PITCH, L"宋体"));

    static const ATOM panelClass = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = PanelProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = L"TWeatherPanel";
        return RegisterClassW(&wc);
    }();
    (void)panelClass;
    panel_ = CreateWindowExW(0, L"TWeatherPanel", nullptr, WS_CHILD | WS_CLIPCHILDREN,
                             Px(kPanelLeft), Px(kPanelTop), Px(kPanelWidth), Px(kPanelHeight),
                             Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    retry_ = CreateWindowExW(0, L"BUTTON", L"重试", WS_CHILD | BS_PUSHBUTTON,
                             Px(kPanelLeft + kPanelWidth - 70), Px(kPanelTop + kPanelHeight - 30),
                             Px(60), Px(24), Handle(),
                             reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kRetryId)),
                             GetModuleHandleW(nullptr), nullptr);
    if (!panel_ || !retry_)
        return false;
    SendMessageW(retry_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);

    commands_.Add(PM_Close, [this] { CloseView(); });
    commands_.Add(PM_Refresh, [this] { Navigate(); });
    ReloadSkin();

    tips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                            WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    if (tips_) {
        TOOLINFOW ti{};
        ti.cbSize = sizeof ti;
        ti.uFlags = TTF_SUBCLASS;
        ti.hwnd = Handle();
        ti.uId = 1;
        ti.rect = buttonRect_;
        std::wstring hint = L"公历-农历";
        ti.lpszText = hint.data();
        SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
    return true;
}

void TFrmWeather::ReloadSkin() {
    const std::string file = TIniFile(dataDir_ + "skin.ini").ReadString("SKIN", "SkinFile", "");
    TWeatherSkin skin;
    if (file.empty() || ReadWeatherSkin(dataDir_, dataDir_ + "Skin\\" + file, skin, nullptr,
                                        WindowScale(Handle())) != TSkinResult::Applied) {
        return;  // a missing or damaged package leaves the look as it is
    }
    background_ = skin.background;
    if (!skin.btnGNGUp.Empty())
        btnGNG_ = skin.btnGNGUp;
    fontColor_ = skin.fontColor;
    if (menuPainter_)
        menuPainter_->colors = skin.menu;
    ComposeFace();
    if (Handle()) {
        SetWindowPos(Handle(), nullptr, 0, 0, face_.Width(), face_.Height(),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        InvalidateRect(Handle(), nullptr, FALSE);
        shadow_.UpdateShadow();
    }
}

void TFrmWeather::ComposeFace() {
    face_ = background_;
    TSmoothFont text(glyphs_);
    text.SetSurface(&face_);
    text.SetQuality(tqHigh);
    TFontSpec font;
    font.Name = WideToUtf8(ChineseDisplayFont());
    font.Height = scale_.FontHeight(12);
    font.Bold = true;
    font.Charset = 134;
    font.Color = fontColor_ & 0xFFFFFF;
    text.SetFont(font);
    const std::string title = "天气预报";
    const TSize size = text.TextExtent(title);
    const int titleLeft = Px(kTitleLeft), titleTop = Px(kTitleTop);
    text.PaintText(titleLeft, titleTop, title);
    titleRect_ = {titleLeft, titleTop, titleLeft + size.Width, titleTop + size.Height};
    const int bx = titleRect_.right + Px(6);
    const int by = titleTop + (size.Height - btnGNG_.Height()) / 2;
    face_.CopyTransparent(bx, by, btnGNG_, 0, 0, btnGNG_.Width(), btnGNG_.Height());
    buttonRect_ = {bx, by, bx + btnGNG_.Width(), by + btnGNG_.Height()};

    if (state_ == TState::Loading || state_ == TState::Shown)
        return;
    // The words that stand in for the page, on the page's white panel.
    const int left = Px(kPanelLeft), top = Px(kPanelTop), w = Px(kPanelWidth), h = Px(kPanelHeight),
              rim = Px(1);
    face_.FillRect(left, top, w, h, 0xFFFFFF);
    face_.FillRect(left, top, w, rim, 0xC8BEB4);
    face_.FillRect(left, top + h - rim, w, rim, 0xC8BEB4);
    face_.FillRect(left, top, rim, h, 0xC8BEB4);
    face_.FillRect(left + w - rim, top, rim, h, 0xC8BEB4);
    font.Name = "宋体";
    font.Height = scale_.FontHeight(9);
    font.Bold = false;
    font.Color = 0x404040;
    text.SetFont(font);
    int y = top + Px(12);
    for (const std::string& line : Lines(WideToUtf8(message_))) {
        text.PaintText(left + Px(12), y, line);
        y += Px(18);
    }
}

void TFrmWeather::Shown() {
    // The page is opened at least once on every day the view is shown.
    if (navigatedDay_ != Today())
        Navigate();
}

void TFrmWeather::Navigate() {
    navigatedDay_ = Today();
    const std::string configured = TIniFile(dataDir_ + "skin.ini").ReadString("WEB", "Host", "");
    if (Trim(configured).empty()) {
        ShowMessage(
            TState::NoHost,
            L"尚未设置天气服务器。\n请在 skin.ini 的 [WEB] 节中填写 Host，\n然后点击“重试”。");
        return;
    }
    const std::optional<std::string> host = ServerHostOf(configured);
    if (!host) {
        ShowMessage(TState::BadHost, L"天气服务器地址无效：\n" + Utf8ToWide(configured) +
                                         L"\n请只填写主机名（可带端口），例如 example.com:8080。");
        return;
    }
    if (!site_ && !CreateBrowser()) {
        ShowMessage(TState::NoBrowser, L"无法显示天气网页：\n本机没有可用的网页浏览组件。");
        return;
    }
    state_ = TState::Loading;
    message_.clear();
    ShowWindow(retry_, SW_HIDE);
    ShowWindow(panel_, SW_SHOW);
    ComposeFace();
    InvalidateRect(Handle(), nullptr, FALSE);
    const std::wstring url = Utf8ToWide(ServerUrl(*host, kWeatherPage));
    BSTR target = SysAllocString(url.c_str());
    VARIANT empty;
    VariantInit(&empty);
    const HRESULT hr = site_->browser->Navigate(target, &empty, &empty, &empty, &empty);
    SysFreeString(target);
    if (FAILED(hr)) {
        ShowMessage(TState::PageFailed, L"天气网页无法打开：\n" + url + L"\n请检查网络后重试。");
        return;
    }
    SetTimer(Handle(), TimerLoad, options_.loadTimeoutMs, nullptr);
}

bool TFrmWeather::CreateBrowser() {
    if (!options_.useBrowser)
        return false;
    if (!oleStarted_) {
        if (FAILED(OleInitialize(nullptr)))
            return false;
        oleStarted_ = true;
    }
    auto* site = new TBrowserSite(
        panel_, [this] { PageLoaded(); },
        [this] {
            const std::string host = TIniFile(dataDir_ + "skin.ini").ReadString("WEB", "Host", "");
            ShowMessage(TState::PageFailed, L"天气网页无法打开：\n" +
                                                Utf8ToWide(ServerUrl(Trim(host), kWeatherPage)) +
                                                L"\n请检查网络后重试。");
        },
        [this](const wchar_t* url) { return AllowNavigation(WideToUtf8(url)); });
    site_ = site;
    bool ok = SUCCEEDED(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_IOleObject, reinterpret_cast<void**>(&site->object)));
    ok = ok && SUCCEEDED(site->object->SetClientSite(site));
    RECT r{0, 0, Px(kPanelWidth), Px(kPanelHeight)};
    ok = ok &&
         SUCCEEDED(site->object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site, 0, panel_, &r));
    ok = ok && SUCCEEDED(site->object->QueryInterface(IID_IWebBrowser2,
                                                      reinterpret_cast<void**>(&site->browser)));
    if (ok) {
        site->browser->put_Silent(VARIANT_TRUE);
        IConnectionPointContainer* points = nullptr;
        if (SUCCEEDED(site->object->QueryInterface(IID_IConnectionPointContainer,
                                                   reinterpret_cast<void**>(&points)))) {
            if (SUCCEEDED(points->FindConnectionPoint(DIID_DWebBrowserEvents2, &site->events)) &&
                FAILED(site->events->Advise(static_cast<IDispatch*>(site), &site->cookie))) {
                site->events->Release();
                site->events = nullptr;
            }
            points->Release();
        }
    }
    if (!ok) {
        DestroyBrowser();
        return false;
    }
    return true;
}

bool TFrmWeather::UserJustClicked() const {
    LASTINPUTINFO input{};
    input.cbSize = sizeof input;
    if (!GetLastInputInfo(&input) || GetTickCount() - input.dwTime > kClickMs)
        return false;
    POINT at;
    RECT panel;
    return GetCursorPos(&at) && GetWindowRect(panel_, &panel) && PtInRect(&panel, at);
}

bool TFrmWeather::AllowNavigation(const std::string& url) {
    const std::optional<std::string> host =
        ServerHostOf(TIniFile(dataDir_ + "skin.ini").ReadString("WEB", "Host", ""));
    const TWeatherLink action = WeatherLinkAction(url, host.value_or(""), UserJustClicked());
    if (action == TWeatherLink::OpenOutside && OnOpenLink)
        OnOpenLink(url);
    return action == TWeatherLink::Follow;
}

void TFrmWeather::DestroyBrowser() {
    if (!site_)
        return;
    TBrowserSite* site = std::exchange(site_, nullptr);
    site->Detach();
    if (site->events) {
        site->events->Unadvise(site->cookie);
        site->events->Release();
    }
    if (site->browser)
        site->browser->Release();
    if (site->object) {
        site->object->Close(OLECLOSE_NOSAVE);
        site->object->SetClientSite(nullptr);
        site->object->Release();
    }
    site->Release();
}

void TFrmWeather::ShowMessage(TState state, std::wstring text) {
    KillTimer(Handle(), TimerLoad);
    state_ = state;
    message_ = std::move(text);
    ShowWindow(panel_, SW_HIDE);
    ShowWindow(retry_, SW_SHOW);
    ComposeFace();
    InvalidateRect(Handle(), nullptr, FALSE);
    shadow_.UpdateShadow();
}

void TFrmWeather::PageLoaded() {
    KillTimer(Handle(), TimerLoad);
    state_ = TState::Shown;
}

MenuHandle TFrmWeather::BuildContextMenu() {
    static constexpr TMenuEntry kSwitch[] = {{PM_ShiZhong, L"时钟"}, {PM_RiLi, L"日历"}};
    static constexpr TMenuEntry kItems[] = {
        {PM_CSSJ, L"城市时间查询"}, {}, {0, L"切换到", -1, kSwitch}, {PM_Close, L"关闭窗口"}};
    const std::pair<UINT, std::function<void()>*> fromBar[] = {
        {PM_CSSJ, &OnWorldTime}, {PM_ShiZhong, &OnShowClock}, {PM_RiLi, &OnShowCalendar}};
    for (const auto& [id, fn] : fromBar) {
        if (*fn && !commands_.Has(id))
            commands_.Add(id, [fn] { (*fn)(); });
    }
    return BuildMenu(*menuPainter_, {kItems}, commands_);
}

void TFrmWeather::RunCommand(UINT id) {
    commands_.Run(id);
}

void TFrmWeather::OpenRefreshMenu() {
    static constexpr TMenuEntry kItems[] = {{PM_Refresh, L"刷新..."}};
    MenuHandle menu = BuildMenu(*menuPainter_, {kItems}, commands_);
    if (!menu)
        return;
    POINT at{titleRect_.left, titleRect_.bottom + 4};
    ClientToScreen(Handle(), &at);
    const UINT id = TrackPopupMenu(menu.Get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_LEFTALIGN, at.x,
                                   at.y, 0, Handle(), nullptr);
    if (id)
        RunCommand(id);
}

bool TFrmWeather::InTitle(POINT p) const {
    return PtInRect(&titleRect_, p) || PtInRect(&buttonRect_, p);
}

LRESULT TFrmWeather::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_PAINT: {
            PaintScope ps(Handle());
            BlitPicture(ps.Dc(), 0, 0, face_);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_LBUTTONDOWN: {
            const POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
            if (InTitle(p)) {
                OpenRefreshMenu();
                return 0;
            }
            ReleaseCapture();
            SendMessageW(Handle(), WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
            return 0;
        }
        case WM_RBUTTONUP: {
            POINT at{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
            ClientToScreen(Handle(), &at);
            MenuHandle menu = BuildContextMenu();
            if (!menu)
                return 0;
            const UINT id = TrackPopupMenu(menu.Get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_LEFTALIGN,
                                           at.x, at.y, 0, Handle(), nullptr);
            // A command may close this window: nothing of it follows.
            if (id)
                RunCommand(id);
            return 0;
        }
        case WM_COMMAND:
            if (LOWORD(wp) == kRetryId && HIWORD(wp) == BN_CLICKED) {
                Navigate();
                return 0;
            }
            break;
        case WM_TIMER:
            if (wp == TimerLoad) {
                ShowMessage(TState::PageFailed,
                            L"天气网页长时间没有打开。\n请检查网络或天气服务器后重试。");
                return 0;
            }
            break;
        case WM_MEASUREITEM:
            if (menuPainter_ &&
                menuPainter_->OnMeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lp)))
                return TRUE;
            break;
        case WM_DRAWITEM:
            if (menuPainter_ &&
                menuPainter_->OnDrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lp)))
                return TRUE;
            break;
        case WM_DESTROY:
            KillTimer(Handle(), TimerLoad);
            DestroyBrowser();
            break;
        default:
            break;
    }
    return TDockedView::WndProc(msg, wp, lp);
}

}  // namespace tempora
