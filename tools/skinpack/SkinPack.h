// skinpack: builds, takes apart and checks skin packages for skin authors.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tempora {

// args without the program name. Exit codes: 0 done (check: no problems),
// 1 a file could not be read or written or the package has problems,
// 2 the command line is wrong.
int RunSkinPack(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tempora
