#include "app/PlatformServices.h"

#include <windows.h>

#include <string>

#include "base/SysUtils.h"
#include "skinui/SkinMessageHook.h"
#include "vcl/Forms.h"
#include "vcl/WideText.h"
#include "zip/ZipPlatform.h"

namespace zv {

namespace {

// The texts are UTF-8; compared as UTF-16, every letter the user's locale
// knows is ordered and folded, not only those of the ANSI code page.
int CompareByLocale(DWORD flags, const std::string& a, const std::string& b) {
    const std::wstring wa = ToWide(a);
    const std::wstring wb = ToWide(b);
    const int r = CompareStringW(LOCALE_USER_DEFAULT, flags, wa.c_str(), static_cast<int>(wa.size()),
                                 wb.c_str(), static_cast<int>(wb.size()));
    return r - CSTR_EQUAL;
}

int CompareTextByLocale(const std::string& a, const std::string& b) {
    return CompareByLocale(NORM_IGNORECASE, a, b);
}

int CompareStrByLocale(const std::string& a, const std::string& b) {
    return CompareByLocale(0, a, b);
}

void InstallZipPlatformHooks() {
    auto& hooks = ZipPlatformHooks();
    if (!hooks.showNotice) {
        hooks.showNotice = [](const std::string& text, const std::string& caption) {
            MessageBoxW(GetActiveWindow(), ToWide(text).c_str(), ToWide(caption).c_str(),
                        MB_OK | MB_TASKMODAL);
        };
    }
    if (!hooks.oemToAnsi) {
        // Names written by MS-DOS hosts are in the OEM code page.
        hooks.oemToAnsi = [](std::string& text) {
            if (!text.empty()) OemToCharBuffA(text.data(), text.data(), static_cast<DWORD>(text.size()));
        };
    }
    // The screen and the application may come and go after this; each call
    // asks for them afresh.
    if (!hooks.getCursor) {
        hooks.getCursor = [] { return Screen ? Screen->Cursor() : 0; };
        hooks.setCursor = [](int cursor) {
            if (Screen) Screen->SetCursor(cursor);
        };
    }
    if (!hooks.processMessages) {
        hooks.processMessages = [] {
            if (Application) Application->ProcessMessages();
        };
    }
}

}  // namespace

void InstallPlatformServices() {
    SetAnsiCompareHooks(&CompareTextByLocale, &CompareStrByLocale);
    InstallFormSkinMessageHook();
    InstallZipPlatformHooks();
}

}  // namespace zv
