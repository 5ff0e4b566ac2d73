// tempora-cal: the calendar engine on the command line (day tables, a month
// grid, the solar terms of a year) and the world cities' times. Output is UTF-8.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tempora {

// args without the program name; exeDir is where Holiday.lst and TimeZone.lst
// are looked for unless --data names another folder. Returns the process exit
// code.
int RunCalTool(const std::vector<std::string>& args, const std::string& exeDir, std::ostream& out,
               std::ostream& err);

}  // namespace tempora
