// led-png: draws a time in the bar's LED digits, as the bar is made (15 x 19
// cells, stroke 3, fuchsia on black, unlit segments not drawn), and writes
// the picture as a BMP file. docs/led.png is made with it:
//     led-png led.bmp 12:34:56 && convert led.bmp docs/led.png
#include <cstdio>
#include <string>
#include <vector>

#include "core/Bmp.h"
#include "core/FileSys.h"
#include "display/myLEDFont.h"

#ifdef _WIN32
#include "core/Encoding.h"
#endif

namespace {

int Run(const std::vector<std::string>& args) {
    if (args.empty() || args.size() > 2) {
        std::fprintf(stderr, "usage: led-png OUT.bmp [TEXT]   (TEXT defaults to 12:34:56)\n");
        return 2;
    }
    tempora::TLEDFontNum led;
    led.SetOffSetX(6);
    led.SetOffSetY(2);
    led.SetWordWidth(15);
    led.SetWordHeight(19);
    led.SetThick(3);
    led.SetSpace(3);
    led.SetBGColor(0x000000);
    led.SetLightColor(0xFF00FF);
    led.SetDarkColor(3618615);
    led.SetText(args.size() > 1 ? args[1] : "12:34:56");
    led.Paint();  // at the size the text needs
    if (led.Picture().Empty()) {
        std::fprintf(stderr, "led-png: the text gives no picture\n");
        return 1;
    }
    if (!tempora::WriteFileAtomic(args[0], tempora::EncodeBmp(led.Picture()))) {
        std::fprintf(stderr, "led-png: cannot write %s\n", args[0].c_str());
        return 1;
    }
    return 0;
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(tempora::WideToUtf8(argv[i]));
    return Run(args);
}
#else
int main(int argc, char** argv) {
    return Run(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
}
#endif
