// Entry of every Windows test binary: the program's platform services are
// installed and the framework's application object exists for the whole
// run, as in the program. A crash prints where
// it happened (module offsets, for addr2line on the test binary) before the
// process ends, since the harness runs without a debugger.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "app/PlatformServices.h"
#include "vcl/Forms.h"

namespace {

void PrintAddress(const char* what, DWORD64 address) {
    HMODULE module = nullptr;
    char name[MAX_PATH] = "?";
    if (GetModuleHandleExA(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<LPCSTR>(address), &module))
        GetModuleFileNameA(module, name, MAX_PATH);
    std::fprintf(stderr, "  %s %#llx (%s + %#llx)\n", what, static_cast<unsigned long long>(address), name,
                 static_cast<unsigned long long>(address - reinterpret_cast<DWORD64>(module)));
}

LONG WINAPI ReportCrash(EXCEPTION_POINTERS* info) {
    std::fprintf(stderr, "crash: exception %#lx\n", info->ExceptionRecord->ExceptionCode);
    const CONTEXT& c = *info->ContextRecord;
#if defined(_WIN64)
    PrintAddress("at", c.Rip);
    const auto* stack = reinterpret_cast<const DWORD64*>(c.Rsp);
#else
    PrintAddress("at", c.Eip);
    const auto* stack = reinterpret_cast<const DWORD*>(c.Esp);
#endif
    // A few words from the top of the stack: after a call through a null
    // pointer the first one is where the call came from.
    for (int i = 0; i < 24; ++i) {
        MEMORY_BASIC_INFORMATION mbi;
        if (VirtualQuery(reinterpret_cast<LPCVOID>(stack[i]), &mbi, sizeof mbi) == 0 ||
            (mbi.Protect & (PAGE_EXECUTE | PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE)) == 0)
            continue;
        PrintAddress("stack", stack[i]);
    }
    std::fflush(stderr);
    return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

int main(int argc, char** argv) {
    SetUnhandledExceptionFilter(ReportCrash);
    testing::InitGoogleTest(&argc, argv);
    zv::InstallPlatformServices();
    zv::InitApplication();
    zv::Application->Initialize();
    zv::Application->SetTitle("Player Installer");
    const int rc = RUN_ALL_TESTS();
    zv::DoneApplication();
    return rc;
}
