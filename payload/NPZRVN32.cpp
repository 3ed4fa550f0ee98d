// The Zorvane Player plug-in for browsers that speak the Netscape plug-in
// API (Netscape, Mozilla, Firefox, Opera). The browser finds the MIME type
// and the extensions in the version resource; this file holds the three
// entry points and the plug-in's function table.
//
//   NP_GetEntryPoints / NP_Initialize / NP_Shutdown   exported entry points
//   NPP_*                                             the instance functions
//
// An instance takes its window and the document's bytes; playing them is
// the player's business, not the installer's.
#include <cstring>
#include <new>

#include "ProductVersion.h"
#include "payload/NpApi.h"

namespace {

using namespace np;

struct TInstance {
    std::uint16_t mode = NP_EMBED;
    HWND window = nullptr;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    unsigned openStreams = 0;
    unsigned long long bytesReceived = 0;
};

bool g_initialized = false;

const char kPluginName[] = "Zorvane Player";
const char kPluginDescription[] = "Zorvane Player plug-in " ZV_PRODUCT_VERSION_STRING;

TInstance* InstanceOf(NPP instance) {
    return instance ? static_cast<TInstance*>(instance->pdata) : nullptr;
}

NPError NppNew(NPMIMEType, NPP instance, std::uint16_t mode, std::int16_t, char**, char**, NPSavedData*) {
    if (!instance) return NPERR_INVALID_INSTANCE_ERROR;
    auto* data = new (std::nothrow) TInstance;
    if (!data) return NPERR_OUT_OF_MEMORY_ERROR;
    data->mode = mode;
    instance->pdata = data;
    return NPERR_NO_ERROR;
}

NPError NppDestroy(NPP instance, NPSavedData** save) {
    TInstance* data = InstanceOf(instance);
    if (!data) return NPERR_INVALID_INSTANCE_ERROR;
    delete data;
    instance->pdata = nullptr;
    if (save) *save = nullptr;  // nothing to keep for a later instance
    return NPERR_NO_ERROR;
}

NPError NppSetWindow(NPP instance, NPWindow* window) {
    TInstance* data = InstanceOf(instance);
    if (!data) return NPERR_INVALID_INSTANCE_ERROR;
    if (!window) {
        data->window = nullptr;  // the browser takes the window away
        return NPERR_NO_ERROR;
    }
    data->window = static_cast<HWND>(window->window);
    data->width = window->width;
    data->height = window->height;
    return NPERR_NO_ERROR;
}

NPError NppNewStream(NPP instance, NPMIMEType, NPStream* stream, NPBool, std::uint16_t* stype) {
    TInstance* data = InstanceOf(instance);
    if (!data) return NPERR_INVALID_INSTANCE_ERROR;
    if (!stream) return NPERR_INVALID_PARAM;
    if (stype) *stype = NP_NORMAL;
    ++data->openStreams;
    return NPERR_NO_ERROR;
}

NPError NppDestroyStream(NPP instance, NPStream*, NPReason) {
    TInstance* data = InstanceOf(instance);
    if (!data) return NPERR_INVALID_INSTANCE_ERROR;
    if (data->openStreams > 0) --data->openStreams;
    return NPERR_NO_ERROR;
}

void NppStreamAsFile(NPP, NPStream*, const char*) {}

std::int32_t NppWriteReady(NPP instance, NPStream*) {
    // Everything offered is taken at once.
    return InstanceOf(instance) ? 0x0FFFFFFF : 0;
}

std::int32_t NppWrite(NPP instance, NPStream*, std::int32_t, std::int32_t len, void* buffer) {
    TInstance* data = InstanceOf(instance);
    if (!data || len < 0 || (len > 0 && !buffer)) return -1;  // -1 makes the browser end the stream
    data->bytesReceived += static_cast<unsigned long long>(len);
    return len;
}

void NppPrint(NPP instance, NPPrint* print) {
    if (!InstanceOf(instance) || !print) return;
    // A full-page document is left to the browser's own printing.
    if (print->mode == NP_FULL) print->print.fullPrint.pluginPrinted = 0;
}

std::int16_t NppHandleEvent(NPP, void*) {
    return 0;
}

void NppUrlNotify(NPP, const char*, NPReason, void*) {}

NPError NppGetValue(NPP, NPPVariable variable, void* value) {
    if (!value) return NPERR_INVALID_PARAM;
    switch (variable) {
        case NPPVpluginNameString: *static_cast<const char**>(value) = kPluginName; return NPERR_NO_ERROR;
        case NPPVpluginDescriptionString:
            *static_cast<const char**>(value) = kPluginDescription;
            return NPERR_NO_ERROR;
        case NPPVpluginWindowBool: *static_cast<NPBool*>(value) = 1; return NPERR_NO_ERROR;
        case NPPVpluginTransparentBool: *static_cast<NPBool*>(value) = 0; return NPERR_NO_ERROR;
        default: return NPERR_GENERIC_ERROR;
    }
}

NPError NppSetValue(NPP, NPNVariable, void*) {
    return NPERR_GENERIC_ERROR;
}

}  // namespace

extern "C" {

NPError WINAPI NP_GetEntryPoints(NPPluginFuncs* funcs) {
    if (!funcs || funcs->size < sizeof(NPPluginFuncs)) return NPERR_INVALID_FUNCTABLE_ERROR;
    funcs->version = static_cast<std::uint16_t>((NP_VERSION_MAJOR << 8) | NP_VERSION_MINOR);
    funcs->newp = NppNew;
    funcs->destroy = NppDestroy;
    funcs->setwindow = NppSetWindow;
    funcs->newstream = NppNewStream;
    funcs->destroystream = NppDestroyStream;
    funcs->asfile = NppStreamAsFile;
    funcs->writeready = NppWriteReady;
    funcs->write = NppWrite;
    funcs->print = NppPrint;
    funcs->event = NppHandleEvent;
    funcs->urlnotify = NppUrlNotify;
    funcs->javaClass = nullptr;
    funcs->getvalue = NppGetValue;
    funcs->setvalue = NppSetValue;
    return NPERR_NO_ERROR;
}

NPError WINAPI NP_Initialize(NPNetscapeFuncs* browser) {
    if (!browser) return NPERR_INVALID_FUNCTABLE_ERROR;
    if ((browser->version >> 8) > NP_VERSION_MAJOR) return NPERR_INCOMPATIBLE_VERSION_ERROR;
    g_initialized = true;
    return NPERR_NO_ERROR;
}

NPError WINAPI NP_Shutdown() {
    g_initialized = false;
    return NPERR_NO_ERROR;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
    return TRUE;
}

}  // extern "C"
