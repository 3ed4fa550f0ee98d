// Program entry: the command line decides the run (app/SetupRun.h); the
// exit code says how it ended.
#include <windows.h>

#include "app/SetupRun.h"
#include "deploy/FileHelpers.h"
#include "vcl/WideText.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Before anything loads a library: never from the program's directory.
    zv::MakeDllSearchSafe();
    // Wide, so that a /LOG path in any script arrives as it was typed.
    return zv::RunSetup(zv::FromWide(GetCommandLineW()));
}
