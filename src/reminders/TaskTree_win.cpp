#include "TaskTree_win.h"

#include "core/Encoding.h"
#include "reminders/UnitAct_win.h"
#include "reminders/UnitInputMsg_win.h"
#include "core/Handles_win.h"

#include <commdlg.h>
#include <windowsx.h>

#include <vector>

namespace tempora {

namespace {

constexpr COLORREF kMaskColour = RGB(255, 0, 255);

// A clock face for a task (green when enabled, grey when stopped), a
// speaker for a sound, a note for a message and an arrow for a command.
void DrawNodePicture(HDC dc, int image, int x0) {
    const auto pen = [&](COLORREF c, int w = 1) { return CreatePen(PS_SOLID, w, c); };
    const auto shape = [&](COLORREF line, COLORREF fill, auto draw) {
        GdiObject<HPEN> p(pen(line));
        GdiObject<HBRUSH> b(CreateSolidBrush(fill));
        const HGDIOBJ oldPen = SelectObject(dc, p.Get());
        const HGDIOBJ oldBrush = SelectObject(dc, b.Get());
        draw();
        SelectObject(dc, oldBrush);
        SelectObject(dc, oldPen);
    };
    switch (image) {
        case kImgTaskOn:
        case kImgTaskOff: {
            const COLORREF rim = image == kImgTaskOn ? RGB(40, 140, 60) : RGB(140, 140, 140);
            shape(rim, RGB(255, 255, 255), [&] { Ellipse(dc, x0 + 1, 1, x0 + 15, 15); });
            GdiObject<HPEN> hands(pen(image == kImgTaskOn ? RGB(30, 30, 30) : RGB(150, 150, 150)));
            const HGDIOBJ old = SelectObject(dc, hands.Get());
            MoveToEx(dc, x0 + 8, 4, nullptr);
            LineTo(dc, x0 + 8, 8);
            LineTo(dc, x0 + 11, 10);
            SelectObject(dc, old);
            break;
        }
        case kImgSound: {
            const POINT cone[] = {{x0 + 2, 6},  {x0 + 5, 6},  {x0 + 9, 2},
                                  {x0 + 9, 14}, {x0 + 5, 10}, {x0 + 2, 10}};
            shape(RGB(30, 80, 170), RGB(80, 140, 230), [&] { Polygon(dc, cone, 6); });
            GdiObject<HPEN> wave(pen(RGB(30, 80, 170)));
            const HGDIOBJ old = SelectObject(dc, wave.Get());
            Arc(dc, x0 + 8, 4, x0 + 13, 12, x0 + 11, 13, x0 + 11, 3);
            Arc(dc, x0 + 8, 2, x0 + 16, 14, x0 + 13, 15, x0 + 13, 1);
            SelectObject(dc, old);
            break;
        }
        case kImgMessage: {
            shape(RGB(170, 120, 20), RGB(255, 220, 110),
                  [&] { RoundRect(dc, x0 + 1, 2, x0 + 15, 12, 4, 4); });
            const POINT tail[] = {{x0 + 4, 11}, {x0 + 4, 15}, {x0 + 8, 11}};
            shape(RGB(170, 120, 20), RGB(255, 220, 110), [&] { Polygon(dc, tail, 3); });
            GdiObject<HPEN> lines(pen(RGB(170, 120, 20)));
            const HGDIOBJ old = SelectObject(dc, lines.Get());
            for (int y : {5, 8}) {
                MoveToEx(dc, x0 + 4, y, nullptr);
                LineTo(dc, x0 + 12, y);
            }
            SelectObject(dc, old);
            break;
        }
        default: {
            const POINT arrow[] = {{x0 + 3, 2}, {x0 + 14, 8}, {x0 + 3, 14}};
            shape(RGB(170, 50, 30), RGB(235, 100, 60), [&] { Polygon(dc, arrow, 3); });
            break;
        }
    }
}

HIMAGELIST NodePictures() {
    // Shared by every task tree for the life of the program.
    static HIMAGELIST list = [] {
        constexpr int kCount = kImgRun + 1;
        HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, kCount, 0);
        const HDC screen = GetDC(nullptr);
        const HDC dc = CreateCompatibleDC(screen);
        GdiObject<HBITMAP> strip(CreateCompatibleBitmap(screen, 16 * kCount, 16));
        ReleaseDC(nullptr, screen);
        const HGDIOBJ old = SelectObject(dc, strip.Get());
        const RECT all{0, 0, 16 * kCount, 16};
        GdiObject<HBRUSH> mask(CreateSolidBrush(kMaskColour));
        FillRect(dc, &all, mask.Get());
        for (int i = 0; i < kCount; ++i)
            DrawNodePicture(dc, i, 16 * i);
        SelectObject(dc, old);
        DeleteDC(dc);
        ImageList_AddMasked(images, strip.Get(), kMaskColour);
        return images;
    }();
    return list;
}

HTREEITEM Insert(HWND tree, HTREEITEM parent, HTREEITEM after, const std::string& text, int image) {
    std::wstring wide = Utf8ToWide(text);
    TVINSERTSTRUCTW ins{};
    ins.hParent = parent;
    ins.hInsertAfter = after;
    ins.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    ins.item.pszText = wide.data();
    ins.item.iImage = ins.item.iSelectedImage = image;
    return reinterpret_cast<HTREEITEM>(
        SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins)));
}

HTREEITEM Next(HWND tree, HTREEITEM item, UINT how) {
    return reinterpret_cast<HTREEITEM>(
        SendMessageW(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(item)));
}

void Select(HWND tree, HTREEITEM item) {
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
}

void Expand(HWND tree, HTREEITEM item) {
    SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
}

}  // namespace

HWND CreateTaskTree(HWND parent, int id, int x, int y, int w, int h, HFONT font) {
    const HWND tree =
        CreateWindowExW(WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"",
                        WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASLINES | TVS_HASBUTTONS |
                            TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                        x, y, w, h, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                        GetModuleHandleW(nullptr), nullptr);
    if (!tree)
        return nullptr;
    SendMessageW(tree, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageW(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(NodePictures()));
    SendMessageW(tree, TVM_SETITEMHEIGHT, 20, 0);
    return tree;
}

HTREEITEM InsertTaskNode(HWND tree, const TTaskNode& task, HTREEITEM after) {
    const HTREEITEM item = Insert(tree, TVI_ROOT, after, task.text, task.image);
    if (!item)
        return nullptr;
    for (const TActionNode& action : task.actions)
        InsertActionNode(tree, item, action);
    if (task.image == kImgTaskOn)
        Expand(tree, item);
    return item;
}

HTREEITEM InsertActionNode(HWND tree, HTREEITEM task, const TActionNode& action, HTREEITEM after) {
    return Insert(tree, task, after, action.text, action.image);
}

void ReplaceTaskNode(HWND tree, HTREEITEM item, const TTaskNode& task) {
    SetNode(tree, item, task.text, task.image);
    while (const HTREEITEM child = Next(tree, item, TVGN_CHILD))
        SendMessageW(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(child));
    for (const TActionNode& action : task.actions)
        InsertActionNode(tree, item, action);
    Expand(tree, item);
}

std::string NodeText(HWND tree, HTREEITEM item) {
    std::vector<wchar_t> buffer(4096, L'\0');
    TVITEMW tv{};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = buffer.data();
    tv.cchTextMax = static_cast<int>(buffer.size());
    if (!SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv)))
        return {};
    return WideToUtf8(tv.pszText);
}

int NodeImage(HWND tree, HTREEITEM item) {
    TVITEMW tv{};
    tv.mask = TVIF_IMAGE;
    tv.hItem = item;
    if (!SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv)))
        return -1;
    return tv.iImage;
}

void SetNode(HWND tree, HTREEITEM item, const std::string& text, int image) {
    std::wstring wide = Utf8ToWide(text);
    TVITEMW tv{};
    tv.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    tv.hItem = item;
    tv.pszText = wide.data();
    tv.iImage = tv.iSelectedImage = image;
    SendMessageW(tree, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
}

bool IsTaskNode(HWND tree, HTREEITEM item) {
    return item && !Next(tree, item, TVGN_PARENT);
}

HTREEITEM TaskOfNode(HWND tree, HTREEITEM item) {
    if (!item)
        return nullptr;
    const HTREEITEM parent = Next(tree, item, TVGN_PARENT);
    return parent ? parent : item;
}

TTaskNode ReadTaskNode(HWND tree, HTREEITEM task) {
    TTaskNode node;
    node.image = NodeImage(tree, task);
    node.text = NodeText(tree, task);
    for (HTREEITEM a = Next(tree, task, TVGN_CHILD); a; a = Next(tree, a, TVGN_NEXT))
        node.actions.push_back({NodeImage(tree, a), NodeText(tree, a)});
    return node;
}

TTaskTree ReadTaskTree(HWND tree) {
    TTaskTree all;
    for (HTREEITEM t = Next(tree, nullptr, TVGN_ROOT); t; t = Next(tree, t, TVGN_NEXT))
        all.push_back(ReadTaskNode(tree, t));
    return all;
}

HTREEITEM NodeAt(HWND tree, POINT client) {
    TVHITTESTINFO hit{};
    hit.pt = client;
    const auto item = reinterpret_cast<HTREEITEM>(
        SendMessageW(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    return hit.flags & (TVHT_ONITEM | TVHT_ONITEMINDENT | TVHT_ONITEMRIGHT) ? item : nullptr;
}

void ToggleTaskNode(HWND tree, HTREEITEM task) {
    const int image = NodeImage(tree, task);
    if (image == kImgTaskOn || image == kImgTaskOff)
        SetNode(tree, task, NodeText(tree, task), image == kImgTaskOn ? kImgTaskOff : kImgTaskOn);
}

bool AskActionPayload(HWND owner, int image, bool adding, const std::string& dataDir,
                      std::string& payload) {
    if (image == kImgMessage)
        return EditMessage(owner, adding, payload);
    if (image != kImgSound)
        return EditRunAction(owner, adding, payload);
    std::wstring file(MAX_PATH * 4, L'\0');
    const std::wstring current = Utf8ToWide(adding ? std::string() : payload);
    if (current.size() < file.size())
        file.replace(0, current.size(), current);
    const std::wstring folder = Utf8ToWide(dataDir + "MySound\\");
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = L"声音文件\0*.wav;*.mp3\0WAV\0*.wav\0MP3\0*.mp3\0";
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrInitialDir = folder.c_str();
    ofn.lpstrTitle = L"选择声音文件";
    ofn.Flags =
        OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameW(&ofn))
        return false;
    payload = WideToUtf8(file.c_str());
    return true;
}

HTREEITEM AddActionNode(HWND owner, HWND tree, HTREEITEM task, int image,
                        const std::string& dataDir) {
    if (!task)
        return nullptr;
    std::string payload;
    if (!AskActionPayload(owner, image, true, dataDir, payload))
        return nullptr;
    const HTREEITEM item = InsertActionNode(tree, task, {image, ActionText(image, payload)});
    Expand(tree, task);
    Select(tree, item);
    return item;
}

bool EditActionNode(HWND owner, HWND tree, HTREEITEM action, const std::string& dataDir) {
    const int image = NodeImage(tree, action);
    std::string payload = ActionPayload(NodeText(tree, action));
    if (!AskActionPayload(owner, image, false, dataDir, payload))
        return false;
    SetNode(tree, action, ActionText(image, payload), image);
    return true;
}

HTREEITEM MoveActionNode(HWND tree, HTREEITEM from, HTREEITEM target) {
    if (!from || !target || from == target || IsTaskNode(tree, from) || IsTaskNode(tree, target))
        return nullptr;
    const HTREEITEM before = Next(tree, target, TVGN_PREVIOUS);
    const HTREEITEM moved = InsertActionNode(tree, TaskOfNode(tree, target),
                                             {NodeImage(tree, from), NodeText(tree, from)},
                                             before ? before : TVI_FIRST);
    if (!moved)
        return nullptr;
    SendMessageW(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(from));
    Select(tree, moved);
    return moved;
}

void TActionDrag::Begin(HWND dialog, HWND tree, HTREEITEM item) {
    if (!item || IsTaskNode(tree, item))
        return;
    tree_ = tree;
    item_ = item;
    SetCapture(dialog);
}

HTREEITEM TActionDrag::TargetAt(HWND dialog, POINT client) const {
    MapWindowPoints(dialog, tree_, &client, 1);
    const HTREEITEM target = NodeAt(tree_, client);
    return target && target != item_ && !IsTaskNode(tree_, target) ? target : nullptr;
}

void TActionDrag::Move(HWND dialog, POINT client) {
    if (!item_)
        return;
    SendMessageW(tree_, TVM_SELECTITEM, TVGN_DROPHILITE,
                 reinterpret_cast<LPARAM>(TargetAt(dialog, client)));
    SetCursor(LoadCursorW(nullptr, TargetAt(dialog, client) ? IDC_ARROW : IDC_NO));
}

bool TActionDrag::Drop(HWND dialog, POINT client) {
    if (!item_)
        return false;
    const HTREEITEM target = TargetAt(dialog, client);
    const HTREEITEM from = item_;
    Cancel();
    return MoveActionNode(tree_, from, target) != nullptr;
}

void TActionDrag::Cancel() {
    if (!item_)
        return;
    item_ = nullptr;
    SendMessageW(tree_, TVM_SELECTITEM, TVGN_DROPHILITE, 0);
    if (GetCapture())
        ReleaseCapture();
}

void TTaskTreeDialog::AddTreeWithButtons(int top, int height, int addId) {
    constexpr int kTreeX = 16, kTreeW = 340, kButtonX = 372, kButtonW = 82, kButtonH = 26;
    constexpr DWORD kButton = WS_TABSTOP | BS_PUSHBUTTON;
    CreateTaskTree(Handle(), treeId_, kTreeX, top, kTreeW, height, Font());
    AddControl(WC_BUTTONW, "添加", kButton, kButtonX, top, kButtonW, kButtonH, addId);
    AddControl(WC_BUTTONW, "修改", kButton, kButtonX, top + 34, kButtonW, kButtonH, CmdEdit);
    AddControl(WC_BUTTONW, "删除", kButton, kButtonX, top + 68, kButtonW, kButtonH, CmdDelete);
    AddControl(WC_BUTTONW, "确定(&O)", WS_TABSTOP | BS_DEFPUSHBUTTON, kButtonX,
               top + height - 2 * kButtonH - 8, kButtonW, kButtonH, IDOK);
    AddControl(WC_BUTTONW, "取消(&C)", kButton, kButtonX, top + height - kButtonH, kButtonW,
               kButtonH, IDCANCEL);
}

LRESULT TTaskTreeDialog::Notify(NMHDR* hdr) {
    if (static_cast<int>(hdr->idFrom) != treeId_)
        return 0;
    switch (hdr->code) {
        case TVN_SELCHANGEDW:
            UpdateButtons();
            break;
        case NM_RCLICK: {
            POINT at;
            GetCursorPos(&at);
            POINT client = at;
            ScreenToClient(Tree(), &client);
            const HTREEITEM item = NodeAt(Tree(), client);
            if (item)
                SendMessageW(Tree(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
            ShowNodeMenu(item, at);
            return 1;
        }
        case TVN_BEGINDRAGW:
            drag_.Begin(Handle(), Tree(), reinterpret_cast<NMTREEVIEWW*>(hdr)->itemNew.hItem);
            break;
        default:
            break;
    }
    return 0;
}

LRESULT TTaskTreeDialog::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_MOUSEMOVE:
            drag_.Move(Handle(), {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
            break;
        case WM_LBUTTONUP:
            if (drag_.Active()) {
                drag_.Drop(Handle(), {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
                UpdateButtons();
                return 0;
            }
            break;
        case WM_CAPTURECHANGED:
            drag_.Cancel();
            break;
        default:
            break;
    }
    return TTaskDialog::WndProc(msg, wp, lp);
}

}  // namespace tempora
