// Where the build put the files the tests look at. The build gives Unix
// paths; Wine sees the root of the Unix file system as drive Z:.
#pragma once

#include <string>

namespace deploytest {

inline std::string WinPath(const char* unixPath) {
    std::string p = unixPath;
    for (char& c : p)
        if (c == '/') c = '\\';
    return "Z:" + p;
}

inline std::string PluginDll() {
    return WinPath(ZV_TEST_PLUGIN);
}
inline std::string ActiveXOcx() {
    return WinPath(ZV_TEST_ACTIVEX);
}
inline std::string VersionCommasDll() {
    return WinPath(ZV_TEST_VERSION_COMMAS);
}
inline std::string NoVersionDll() {
    return WinPath(ZV_TEST_NO_VERSION);
}
inline std::string ProbeExe() {
    return WinPath(ZV_TEST_PROBE);
}
inline std::string ExitToolExe() {
    return WinPath(ZV_TEST_EXIT_TOOL);
}

inline constexpr const char* kClsid = "{B77F4487-9ABE-11D5-AFDD-00500460AA49}";
inline constexpr const char* kProgId = "ZorvaneActiveX.ZorvaneActiveForm";

}  // namespace deploytest
