// Started by the tests: writes GetProgramDir() to the file named by its last
// argument. From a deep directory it shows what the program sees of its own
// path; planted as "regsvr32.exe" it shows whether it was started.
#include <cstdio>
#include <string>

#include "deploy/FileHelpers.h"

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const std::string dir = zv::GetProgramDir();
    std::FILE* out = std::fopen(argv[argc - 1], "wb");
    if (!out) return 3;
    std::fwrite(dir.data(), 1, dir.size(), out);
    std::fclose(out);
    return dir.empty() ? 1 : 0;
}
