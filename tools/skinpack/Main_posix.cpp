#ifndef _WIN32

#include "SkinPack.h"

#include <iostream>

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    return tempora::RunSkinPack(args, std::cout, std::cerr);
}

#endif
