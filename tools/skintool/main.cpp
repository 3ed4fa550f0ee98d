// skintool: builds, unpacks and checks the stored skin (see SkinTool.h).
#include <iostream>

#include "tools/skintool/SkinTool.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return zv::RunSkinTool(args, std::cout, std::cerr);
}
