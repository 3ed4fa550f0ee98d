#include "app/PlatformServices.h"

#include <windows.h>

#include <string>

#include "base/SysUtils.h"
#include "skinui/SkinMessageHook.h"
#include "vcl/Forms.h"
#include "zip/ZipPlatform.h"

namespace zv {

namespace {

int CompareTextByLocale(const std::string& a, const std::string& b) {
    const int r = CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), static_cast<int>(a.size()),
                                 b.c_str(), static_cast<int>(b.size()));
    return r - CSTR_EQUAL;
}

int CompareStrByLocale(const std::string& a, const std::string& b) {
    const int r = CompareStringA(LOCALE_USER_DEFAULT, 0, a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                 static_cast<int>(b.size()));
    return r - CSTR_EQUAL;
}

void InstallZipPlatformHooks() {
    auto& hooks = ZipPlatformHooks();
    if (!hooks.showNotice) {
        hooks.showNotice = [](const std::string& text, const std::string& caption) {
            MessageBoxA(GetActiveWindow(), text.c_str(), caption.c_str(), MB_OK | MB_TASKMODAL);
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
