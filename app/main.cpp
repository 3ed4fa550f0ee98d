// Program entry: no command line is read. The application is initialised and
// titled, the main window is created, and the message loop runs until the
// main window closes.
#include <windows.h>

#include "app/PlatformServices.h"
#include "app/frmMain.h"
#include "deploy/FileHelpers.h"
#include "vcl/Forms.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    using namespace zv;
    // Before anything loads a library: never from the program's directory.
    MakeDllSearchSafe();
    InstallPlatformServices();
    InitApplication();
    Application->Initialize();
    Application->SetTitle("Player Installer");
    Application->CreateForm(MainForm);
    Application->Run();
    DoneApplication();
    return 0;
}
