// Arbitrary bytes as War.lst, read the way LoadTasks reads the file, then run
// at seconds taken from the tasks' own fields. Every payload must be whole
// UTF-8, the schedules normalised, and each run must hand out exactly the
// actions of the first due task: messages, files and the shutdown in order,
// then its sounds as one list; the same second again runs nothing.
#include "core/DateTime.h"
#include "core/Encoding.h"
#include "core/LineFile.h"
#include "reminders/TaskActions.h"
#include "reminders/TaskList.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

using namespace tempora;

namespace {

class Recorder : public ITaskActions {
public:
    std::vector<std::string> log;
    bool confirm = false;
    void ShowMessage(const std::string& text) override { log.push_back("m" + text); }
    void PlaySounds(const std::string& list) override { log.push_back("p" + list); }
    void RunFile(const std::string& path) override { log.push_back("r" + path); }
    bool ConfirmShutdown() override {
        log.push_back("c");
        return confirm;
    }
    void ShutdownComputer() override { log.push_back("s"); }
};

int Pick(int32_t field, int low, int high, int otherwise) {
    return field >= low && field <= high ? field : otherwise;
}

bool Matches(int32_t field, int value) {
    return field == -1 || field == value;
}

// What the scheduler must do for a run at the given parts.
std::vector<std::string> Expected(const std::vector<TTaskRec>& tasks, int y, int mo, int d, int h,
                                  int mi, int s, bool confirm) {
    // Without holidays a working day is Monday to Friday.
    const bool weekday = DayOfWeekISO(EncodeDate(y, mo, d)) <= 5;
    for (const TTaskRec& t : tasks) {
        const bool due =
            t.enabled && Matches(t.year, y) && Matches(t.month, mo) && Matches(t.day, d) &&
            Matches(t.hour, h) && Matches(t.minute, mi) && Matches(t.second, s) &&
            (t.hour != -1 || t.minute != -1 || t.second != -1) &&
            (t.dayRule == DayRule::Any || (t.dayRule == DayRule::WorkingDays) == weekday);
        if (!due)
            continue;
        std::vector<std::string> out;
        std::string sounds;
        for (const TActRec& a : t.actions) {
            if (a.type == kActSound) {
                sounds += a.text + "*";
            } else if (a.type == kActMessage) {
                out.push_back("m" + a.text);
            } else if (a.type == kActRun && a.text == kShutdownPayload) {
                out.push_back("c");
                if (confirm)
                    out.push_back("s");
            } else if (a.type == kActRun) {
                out.push_back("r" + a.text);
            }
        }
        if (!sounds.empty())
            out.push_back("p" + sounds);
        return out;
    }
    return {};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<TTaskRec> tasks = ParseTaskLines(SplitLines(GbkToUtf8(bytes)));
    for (const TTaskRec& t : tasks) {
        if ((t.minute != -1 && t.second == -1) ||
            (t.hour != -1 && t.minute == -1 && t.second == -1)) {
            std::abort();
        }
        for (const TActRec& a : t.actions) {
            if (!IsValidUtf8(a.text) || a.type < -2 || a.type > 7)
                std::abort();
        }
    }

    Recorder actions;
    TTaskList list(actions);
    list.SetTasks(tasks);
    const size_t runs = std::min<size_t>(tasks.size(), 8);
    std::vector<TDateTime> used;
    for (size_t i = 0; i < runs; ++i) {
        const TTaskRec& t = tasks[i];
        const int y = Pick(t.year, 1, 9999, 2024), mo = Pick(t.month, 1, 12, 3);
        const int d = Pick(t.day, 1, DaysInMonth(y, mo), 10);
        const int h = Pick(t.hour, 0, 23, 8), mi = Pick(t.minute, 0, 59, 0);
        const int s = Pick(t.second, 0, 59, 0);
        const TDateTime when = EncodeDateTime(y, mo, d, h, mi, s);
        if (std::find(used.begin(), used.end(), when) != used.end())
            continue;  // that second has had its run
        used.push_back(when);
        actions.confirm = i % 2 == 0;
        actions.log.clear();
        list.RunDueTask(when);
        if (actions.log != Expected(tasks, y, mo, d, h, mi, s, actions.confirm))
            std::abort();
        actions.log.clear();
        list.RunDueTask(when);
        if (!actions.log.empty())
            std::abort();
    }
    return 0;
}
