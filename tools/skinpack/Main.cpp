#include "SkinPack.h"
#include "core/ToolMain.h"

TEMPORA_TOOL_MAIN([](const std::vector<std::string>& args, const std::string&, std::ostream& out,
                     std::ostream& err) { return tempora::RunSkinPack(args, out, err); })
