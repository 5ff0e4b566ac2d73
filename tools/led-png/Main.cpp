// led-png: draws a time in the bar's LED digits as the bar shows them in its
// time panel (cyan on black, unlit segments not drawn), and writes the
// picture as a BMP file. docs/led.png is made with it:
//     led-png led.bmp 12:34:56 && convert led.bmp docs/led.png
// Given a skin package (and a scale in percent), the digits take that skin's
// cell and colours at that scale, as the bar draws them:
//     led-png red.bmp 13:44:45 data/Skin/RedLacquer.sk 200
#include <cstdlib>
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
    if (args.empty() || args.size() > 4) {
        err << "usage: led-png OUT.bmp [TEXT [SKIN [PERCENT]]]   (TEXT defaults to 12:34:56)\n";
        return 2;
    }
    tempora::TBarSkin panel;  // the default places
    panel.ledBkColor = 0x000000;
    panel.ledFontColor = 0xFFDC60;
    if (args.size() > 2) {
        const int percent = args.size() > 3 ? std::atoi(args[3].c_str()) : 100;
        const tempora::TScale scale{percent * tempora::TScale::kBaseDpi / 100};
        // The reader's scratch copy of the key list goes beside the output.
        const size_t sep = args[0].find_last_of("\\/");
        const std::string scratch = sep == std::string::npos ? "" : args[0].substr(0, sep + 1);
        std::string why;
        if (tempora::ReadBarSkin(scratch, args[2], panel, &why, scale) !=
            tempora::TSkinResult::Applied) {
            err << "led-png: " << args[2] << ": " << why << "\n";
            return 1;
        }
    }
    tempora::TLEDFontNum led;
    tempora::SetUpBarLed(led, 0, 0, panel.led.width, panel.led.height, panel.ledCell);
    led.SetBGColor(panel.ledBkColor);
    led.SetLightColor(panel.ledFontColor);
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
