// The ActiveX control ZorvaneActiveX.ocx (archive RCDATA 2) for Internet
// Explorer: put in place where it is registered, or else into the given
// directory, then registered when it is really there.
#pragma once

#include <string>

namespace zv {

// dir: Internet Explorer's plug-in directory (may be empty). code holds the
// last failure met (DeployResult); a failed registration of the entries (-4)
// replaces any earlier code, a failed run of the registration tool gives -4
// when nothing failed before it. True when there was none. failedDir, when
// given, names the control's directory after a failure (empty when none).
// The control is registered only when it is in place afterwards: written
// now, or already at the payload's version or newer. Otherwise no registry
// entry is created, changed or removed, so an earlier registration stays as
// it was. Shows nothing.
bool DeployActiveX(const std::string& dir, int& code, std::string* failedDir = nullptr);

}  // namespace zv
