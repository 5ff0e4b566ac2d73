// led-png: draws a time in the bar's LED digits as the bar shows them in its
// time panel (cyan on black, unlit segments not drawn), and writes the
// picture as a BMP file. docs/led.png is made with it:
//     led-png led.bmp 12:34:56 && convert led.bmp docs/led.png
#include <ostream>
#include <string>
#include <vector>

#include "core/Bmp.h"
#include "core/FileSys.h"
#include "core/ToolMain.h"
#include "display/SupFun.h"
#include "display/myLEDFont.h"

namespace {

int Run(const std::vector<std::string>& args, const std::string&, std::ostream&,
        std::ostream& err) {
    if (args.empty() || args.size() > 2) {
        err << "usage: led-png OUT.bmp [TEXT]   (TEXT defaults to 12:34:56)\n";
        return 2;
    }
    tempora::TLEDFontNum led;
    const tempora::TBarSkin panel;  // the default places
    tempora::SetUpBarLed(led, 0, 0, panel.led.width, panel.led.height);
    led.SetBGColor(0x000000);
    led.SetLightColor(0xFFDC60);
    led.SetText(args.size() > 1 ? args[1] : "12:34:56");
    led.Paint();
    if (led.Picture().Empty()) {
        err << "led-png: the text gives no picture\n";
        return 1;
    }
    if (!tempora::WriteFileAtomic(args[0], tempora::EncodeBmp(led.Picture()))) {
        err << "led-png: cannot write " << args[0] << "\n";
        return 1;
    }
    return 0;
}

}  // namespace

TEMPORA_TOOL_MAIN(Run)
