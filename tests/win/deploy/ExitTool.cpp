// Started by the tool-process tests: `deploy_exit_tool <code> <sleep ms>
// <marker>` sleeps, then writes the marker file and ends with the code.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 4) return 100;
    Sleep(static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10)));
    if (std::FILE* out = std::fopen(argv[3], "wb")) std::fclose(out);
    return std::atoi(argv[1]);
}
