// A DLL that does nothing: the tests only read its version resource (or its
// lack of one) and load it by name.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}
