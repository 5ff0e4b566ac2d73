#include "ToolMain.h"

#include <filesystem>
#include <iostream>

namespace tempora {

int RunTool(int argc, char** argv, const ToolBody& body) {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec && argc > 0)
        exe = std::filesystem::absolute(argv[0], ec);
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    return body(args, exe.parent_path().string(), std::cout, std::cerr);
}

}  // namespace tempora
