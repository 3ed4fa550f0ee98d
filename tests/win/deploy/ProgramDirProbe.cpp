// Started by the tests from a deep directory: writes GetProgramDir() to the
// file named by its first argument.
#include <cstdio>
#include <string>

#include "deploy/FileHelpers.h"

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const std::string dir = zv::GetProgramDir();
    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out) return 3;
    std::fwrite(dir.data(), 1, dir.size(), out);
    std::fclose(out);
    return dir.empty() ? 1 : 0;
}
