// The run-action editor "添加执行命令" / "编辑执行命令": the choices 关机 and
// 执行或打开文件, the path box with its folder button (enabled only for the
// second choice, the box's hint showing the path), 确定(&O) and 取消(&C).
// OK gives "关机", or the path of an existing file.
#pragma once

#include <windows.h>

#include <string>

#include "reminders/TaskDialog_win.h"

namespace tempora {

class TFrmAct : public TTaskDialog {
public:
    static constexpr int kWidth = 360, kHeight = 170;  // the client area
    static constexpr wchar_t kClassName[] = L"TFrmAct";
    enum : int {
        ShutdownRadioId = 101,  // 关机
        FileRadioId,            // 执行或打开文件
        PathEditId,
        BrowseButtonId,
    };

    ~TFrmAct() override;
    bool Create(HWND owner, bool adding, const std::string& payload);
    const std::string& Payload() const { return payload_; }
    // The hint the path box shows.
    std::string PathHint() const;

protected:
    void Command(int id, int code) override;
    bool Accept() override;

private:
    void UpdatePathControls();
    void Browse();

    HWND tip_ = nullptr;
    std::wstring hint_;
    std::string payload_;
};

// Runs the editor over `owner`; on OK, true with "关机" or the path in `payload`.
bool EditRunAction(HWND owner, bool adding, std::string& payload);

}  // namespace tempora
