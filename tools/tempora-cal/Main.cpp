#include "CalTool.h"
#include "core/ToolMain.h"

TEMPORA_TOOL_MAIN(tempora::RunCalTool)
