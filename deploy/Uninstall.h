// Taking back what an install recorded (InstallRecord.h), and only where it
// is still the product's: files still at the version installed, registry
// entries still holding what the install wrote, the control's registration
// only while it names the installed control.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "deploy/InstallRecord.h"

namespace zv {

struct TUninstallResult {
    // Files that could not be removed now and go when Windows restarts.
    std::vector<std::string> scheduled;
    // What could not be done at all; empty when the uninstall is complete.
    std::vector<std::string> failures;
    // What is left to do: the failures, kept in the stored record so that a
    // later run can finish them.
    TInstallRecord remaining;
};

using TUninstallNote = std::function<void(const std::string&)>;

// In this order: the registry entries (a created key is removed when every
// value the install wrote in it still holds that; a changed value gets its
// earlier state back when it still holds what the install wrote; keys of the
// control's class only while the class is registered to a recorded file or
// to none), the control's registration (regsvr32 /u /s, outcome checked, only
// while the class is registered to that file and the file is the installed
// version), the files (removed when they are still the version installed;
// one that cannot be removed now is scheduled for removal at restart).
// Entries that have become someone else's are left alone and dropped from
// the record. Then, when nothing failed: the "Add or remove programs" entry,
// the kept copy of the installer with its folder (scheduled at restart when
// it is the running program) and last the record itself; otherwise the
// record keeps what is left. `note` gets one line per step.
TUninstallResult Uninstall(const TInstallRecord& record, const TUninstallNote& note);

}  // namespace zv
