#include "deploy/DeployActiveX.h"

#include <windows.h>

#include "base/SysUtils.h"
#include "deploy/ActiveXRegistration.h"
#include "deploy/DeployObserver.h"
#include "deploy/FileHelpers.h"
#include "deploy/PayloadFile.h"
#include "vcl/WideText.h"

namespace zv {

bool DeployActiveX(const std::string& dir, int& code, std::string* failedDir) {
    code = drOk;
    if (failedDir) failedDir->clear();
    bool result = true;

    // A registered control that exists is updated where it is.
    std::string target = GetInprocServerPath(ActiveXClassId);
    if (target.empty() || GetFileAttributesW(ToWide(target).c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (dir.empty()) return true;
        target = dir;
        if (target.back() != '\\') target += '\\';
        target += ActiveXFileName;
    }
    auto fail = [&](int c) {
        code = c;
        if (failedDir) *failedDir = ExcludeTrailingBackslash(ExtractFilePath(target));
        result = false;
    };
    if (auto* observer = DeployObserver()) observer->Deploying(target);

    bool inPlace = false;
    try {
        if (TargetPathTooLong(target)) {
            fail(drPathTooLong);
        } else {
            const std::unique_ptr<TStream> archive = OpenPayloadArchive(ActiveXArchiveId);
            TPayloadReader payload(*archive);
            if (payload.Reader().EntryCount() > 0) {
                ClearReadOnlyHidden(target);
                if (TargetNeedsUpdate(target)) {
                    const int c = ReplaceWithEntry(payload.Reader(), ActiveXFileName, target);
                    inPlace = c == drOk;
                    if (!inPlace) fail(c);
                } else {
                    // Current or newer: a working control, registered again.
                    inPlace = true;
                    if (TargetIsNewer(target)) fail(drNewerInstalled);
                }
            } else {
                // No payload found in the archive: nothing was installed.
                fail(drUndefined);
            }
        }
    } catch (...) {
        inPlace = false;
        fail(drUndefined);
    }

    // Registering a control that is not there would bind its extensions and
    // class to nothing and spoil a registration that worked.
    if (!inPlace) return result;
    RemoveOldIEPluginKeys();
    // The tool's own failure says nothing new after an earlier one (no
    // control in place, or one that is not ours): that code stays.
    if (!RegisterServerSilently(target) && result) fail(drRegistration);
    if (!RegisterActiveX(ActiveXMimeType, ".zrvn", ".mp3zrvn", ActiveXClassId, ActiveXProgId,
                         GetProgramDir()))
        fail(drRegistration);
    return result;
}

}  // namespace zv
