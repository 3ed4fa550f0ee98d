#include "deploy/DeployPlugin.h"

#include "deploy/DeployObserver.h"
#include "deploy/FileHelpers.h"
#include "deploy/PayloadFile.h"

namespace zv {

bool DeployPlugin(const TStrings& dirs, int& code, std::string* failedDir) {
    code = drOk;
    if (failedDir) failedDir->clear();
    bool result = true;
    auto fail = [&](int c, const std::string& dir) {
        code = c;
        if (failedDir) *failedDir = dir;
        result = false;
    };
    std::string current;
    try {
        const std::unique_ptr<TStream> archive = OpenPayloadArchive(PluginArchiveId);
        TPayloadReader payload(*archive);
        // An archive in which nothing is found has no payload to give: the
        // directories would be reported as served while none got a file.
        if (payload.Reader().EntryCount() == 0) {
            if (dirs.Count() > 0) fail(drUndefined, {});
            return result;
        }
        for (int i = 0; i < dirs.Count(); ++i) {
            current = dirs[i];
            const std::string target = current + "\\" + PluginFileName;
            // Nothing at all can be done with a name the system refuses.
            if (TargetPathTooLong(target)) {
                fail(drPathTooLong, current);
                continue;
            }
            if (auto* observer = DeployObserver()) observer->Deploying(target);
            ClearReadOnlyHidden(target);
            if (TargetNeedsUpdate(target)) {
                const int c = ReplaceWithEntry(payload.Reader(), PluginFileName, target);
                if (c != drOk) fail(c, current);
            } else if (TargetIsNewer(target)) {
                fail(drNewerInstalled, current);
            }
        }
    } catch (...) {
        fail(drUndefined, current);
    }
    return result;
}

bool DeployMozillaPlugin(const TStrings& dirs, int& code, std::string* failedDir) {
    return DeployPlugin(dirs, code, failedDir);
}

bool DeployPluginToDir(const std::string& dir, int& code, std::string* failedDir) {
    TStringList dirs;
    dirs.Add(dir);
    return DeployPlugin(dirs, code, failedDir);
}

}  // namespace zv
