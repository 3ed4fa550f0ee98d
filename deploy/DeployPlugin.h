// The browser plug-in NPZRVN32.dll (archive RCDATA 1) into the plug-in
// directories of Netscape, Mozilla, Firefox and Opera.
#pragma once

#include <string>

#include "base/Strings.h"

namespace zv {

inline constexpr const char* PluginFileName = "NPZRVN32.dll";

// For each directory in list order: the plug-in when it is missing or older.
// code is 0 at the start and holds the last failure met (DeployResult);
// true when there was none. failedDir, when given, names the directory of
// that failure (empty when none, or when the archive itself failed). Shows
// nothing.
bool DeployPlugin(const TStrings& dirs, int& code, std::string* failedDir = nullptr);
// The entry the install command uses for the Mozilla family: DeployPlugin.
bool DeployMozillaPlugin(const TStrings& dirs, int& code, std::string* failedDir = nullptr);
// DeployPlugin on a list holding dir alone.
bool DeployPluginToDir(const std::string& dir, int& code, std::string* failedDir = nullptr);

}  // namespace zv
