/* The smallest 32-bit Windows program that says whether this machine runs
   the shipped program: it prints where it runs and ends with code 32. */
#include <stdio.h>
#include <windows.h>

int main(void) {
    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);
    printf("zorvane-probe %u-bit%s\n", (unsigned)(sizeof(void*) * 8), wow64 ? " wow64" : "");
    return 32;
}
