// The parts of the Netscape plug-in API that the Zorvane plug-in implements,
// as the browsers lay them out on Windows: the entry points are __stdcall
// (NP_GetEntryPoints, NP_Initialize, NP_Shutdown), the functions of the
// plug-in table use the default C convention.
#pragma once

#include <windows.h>

#include <cstdint>

namespace np {

using NPError = std::int16_t;
using NPReason = std::int16_t;
using NPBool = unsigned char;
using NPMIMEType = char*;

constexpr NPError NPERR_NO_ERROR = 0;
constexpr NPError NPERR_GENERIC_ERROR = 1;
constexpr NPError NPERR_INVALID_INSTANCE_ERROR = 2;
constexpr NPError NPERR_INVALID_FUNCTABLE_ERROR = 3;
constexpr NPError NPERR_OUT_OF_MEMORY_ERROR = 5;
constexpr NPError NPERR_INCOMPATIBLE_VERSION_ERROR = 8;
constexpr NPError NPERR_INVALID_PARAM = 9;

constexpr NPReason NPRES_DONE = 0;
constexpr NPReason NPRES_NETWORK_ERR = 1;
constexpr NPReason NPRES_USER_BREAK = 2;

constexpr std::uint16_t NP_EMBED = 1;
constexpr std::uint16_t NP_FULL = 2;
constexpr std::uint16_t NP_NORMAL = 1;
constexpr std::uint16_t NP_ASFILE = 3;

constexpr int NP_VERSION_MAJOR = 0;
constexpr int NP_VERSION_MINOR = 27;

// Values of NPPVariable / NPNVariable that this plug-in looks at.
enum NPPVariable : int {
    NPPVpluginNameString = 1,
    NPPVpluginDescriptionString = 2,
    NPPVpluginWindowBool = 3,
    NPPVpluginTransparentBool = 4,
    NPPVpluginNeedsXEmbed = 14,
    NPPVpluginScriptableNPObject = 15,
};
enum NPNVariable : int {
    NPNVxDisplay = 1,
};

struct NPP_t {
    void* pdata;  // the plug-in's
    void* ndata;  // the browser's
};
using NPP = NPP_t*;

struct NPStream {
    void* pdata;
    void* ndata;
    const char* url;
    std::uint32_t end;
    std::uint32_t lastmodified;
    void* notifyData;
    const char* headers;
};

struct NPSavedData {
    std::int32_t len;
    void* buf;
};

struct NPRect {
    std::uint16_t top, left, bottom, right;
};

enum NPWindowType : int { NPWindowTypeWindow = 1, NPWindowTypeDrawable = 2 };

struct NPWindow {
    void* window;  // HWND for a windowed plug-in
    std::int32_t x, y;
    std::uint32_t width, height;
    NPRect clipRect;
    NPWindowType type;
};

struct NPFullPrint {
    NPBool pluginPrinted;
    NPBool printOne;
    void* platformPrint;
};
struct NPEmbedPrint {
    NPWindow window;
    void* platformPrint;
};
struct NPPrint {
    std::uint16_t mode;
    union {
        NPFullPrint fullPrint;
        NPEmbedPrint embedPrint;
    } print;
};

using NPP_NewProcPtr = NPError (*)(NPMIMEType, NPP, std::uint16_t, std::int16_t, char**, char**,
                                   NPSavedData*);
using NPP_DestroyProcPtr = NPError (*)(NPP, NPSavedData**);
using NPP_SetWindowProcPtr = NPError (*)(NPP, NPWindow*);
using NPP_NewStreamProcPtr = NPError (*)(NPP, NPMIMEType, NPStream*, NPBool, std::uint16_t*);
using NPP_DestroyStreamProcPtr = NPError (*)(NPP, NPStream*, NPReason);
using NPP_StreamAsFileProcPtr = void (*)(NPP, NPStream*, const char*);
using NPP_WriteReadyProcPtr = std::int32_t (*)(NPP, NPStream*);
using NPP_WriteProcPtr = std::int32_t (*)(NPP, NPStream*, std::int32_t, std::int32_t, void*);
using NPP_PrintProcPtr = void (*)(NPP, NPPrint*);
using NPP_HandleEventProcPtr = std::int16_t (*)(NPP, void*);
using NPP_URLNotifyProcPtr = void (*)(NPP, const char*, NPReason, void*);
using NPP_GetValueProcPtr = NPError (*)(NPP, NPPVariable, void*);
using NPP_SetValueProcPtr = NPError (*)(NPP, NPNVariable, void*);

// The plug-in's function table up to setvalue, the part every browser since
// Netscape 4 fills or reads; newer browsers pass a larger size and leave the
// fields after setvalue to their defaults.
struct NPPluginFuncs {
    std::uint16_t size;
    std::uint16_t version;
    NPP_NewProcPtr newp;
    NPP_DestroyProcPtr destroy;
    NPP_SetWindowProcPtr setwindow;
    NPP_NewStreamProcPtr newstream;
    NPP_DestroyStreamProcPtr destroystream;
    NPP_StreamAsFileProcPtr asfile;
    NPP_WriteReadyProcPtr writeready;
    NPP_WriteProcPtr write;
    NPP_PrintProcPtr print;
    NPP_HandleEventProcPtr event;
    NPP_URLNotifyProcPtr urlnotify;
    void* javaClass;
    NPP_GetValueProcPtr getvalue;
    NPP_SetValueProcPtr setvalue;
};

// The browser's table: only its head is read (size and version); the
// plug-in calls none of the browser's functions.
struct NPNetscapeFuncs {
    std::uint16_t size;
    std::uint16_t version;
};

using NP_GetEntryPointsFunc = NPError(WINAPI*)(NPPluginFuncs*);
using NP_InitializeFunc = NPError(WINAPI*)(NPNetscapeFuncs*);
using NP_ShutdownFunc = NPError(WINAPI*)();

}  // namespace np
