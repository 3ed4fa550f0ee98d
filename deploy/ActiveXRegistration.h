// The registry entries that tie the ActiveX control to its MIME type and
// extensions, open its documents in the default browser and record it in the
// Active Setup list; and the removal of the old plug-in keys.
#pragma once

#include <string>

namespace zv {

inline constexpr const char* ActiveXFileName = "ZorvaneActiveX.ocx";
inline constexpr const char* ActiveXClassId = "{B77F4487-9ABE-11D5-AFDD-00500460AA49}";
inline constexpr const char* ActiveXProgId = "ZorvaneActiveX.ZorvaneActiveForm";
inline constexpr const char* ActiveXMimeType = "application/x-Zorvane";

// Deletes the five old keys (with their subkeys; missing keys are no error).
// False when an error was raised.
bool RemoveOldIEPluginKeys();

// True when every key could be created and every verified value reads back
// as written. Key-creation failures and mismatches make it false and the
// remaining steps still run; a raised error (a refused write) makes it false
// and ends the registration at that step. dir ends in "\".
bool RegisterActiveX(const std::string& mime, const std::string& ext1, const std::string& ext2,
                     const std::string& clsid, const std::string& progid, const std::string& dir);

}  // namespace zv
