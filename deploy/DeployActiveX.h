// The ActiveX control ZorvaneActiveX.ocx (archive RCDATA 2) for Internet
// Explorer: put in place where it is registered, or else into the given
// directory, then always registered.
#pragma once

#include <string>

namespace zv {

// dir: Internet Explorer's plug-in directory (may be empty). code holds the
// last failure met (DeployResult); a failed registration of the entries (-4)
// replaces any earlier code, a failed run of the registration tool gives -4
// when nothing failed before it. True when there was none. Shows nothing.
bool DeployActiveX(const std::string& dir, int& code);

}  // namespace zv
