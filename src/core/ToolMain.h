// The frame of the command-line tools: arguments as UTF-8, the folder of the
// executable, and output streams whose text reaches a Windows console as
// UTF-16 (a file or pipe gets the UTF-8 bytes) and a Linux terminal as is.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace tempora {

using ToolBody = std::function<int(const std::vector<std::string>& args, const std::string& exeDir,
                                   std::ostream& out, std::ostream& err)>;

#ifdef _WIN32
int RunTool(int argc, wchar_t** argv, const ToolBody& body);
#else
int RunTool(int argc, char** argv, const ToolBody& body);
#endif

}  // namespace tempora

// One line per tool gives it its entry point on both platforms.
#ifdef _WIN32
#define TEMPORA_TOOL_MAIN(body)                    \
    int wmain(int argc, wchar_t** argv) {          \
        return tempora::RunTool(argc, argv, body); \
    }
#else
#define TEMPORA_TOOL_MAIN(body)                    \
    int main(int argc, char** argv) {              \
        return tempora::RunTool(argc, argv, body); \
    }
#endif
