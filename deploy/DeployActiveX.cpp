#include "deploy/DeployActiveX.h"

#include <windows.h>

#include "deploy/ActiveXRegistration.h"
#include "deploy/DeployObserver.h"
#include "deploy/FileHelpers.h"
#include "deploy/PayloadFile.h"

namespace zv {

bool DeployActiveX(const std::string& dir, int& code) {
    code = drOk;
    bool result = true;
    auto fail = [&](int c) {
        code = c;
        result = false;
    };

    // A registered control that exists is updated where it is.
    std::string target = GetInprocServerPath(ActiveXClassId);
    if (target.empty() || GetFileAttributesA(target.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (dir.empty()) return true;
        target = dir;
        if (target.back() != '\\') target += '\\';
        target += ActiveXFileName;
    }
    if (auto* observer = DeployObserver()) observer->Deploying(target);

    try {
        const std::unique_ptr<TStream> archive = OpenPayloadArchive(ActiveXArchiveId);
        TPayloadReader payload(*archive);
        if (payload.Reader().EntryCount() > 0) {
            ClearReadOnlyHidden(target);
            if (TargetNeedsUpdate(target)) {
                const int c = ReplaceWithEntry(payload.Reader(), ActiveXFileName, target);
                if (c != drOk) fail(c);
            } else if (TargetIsNewer(target)) {
                fail(drNewerInstalled);
            }
        } else {
            // No payload found in the archive: nothing was installed.
            fail(drUndefined);
        }
    } catch (...) {
        fail(drUndefined);
    }

    // Whatever the unpacking left, the control that is there is registered.
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
