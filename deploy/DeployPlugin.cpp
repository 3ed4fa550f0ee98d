#include "deploy/DeployPlugin.h"

#include "deploy/DeployObserver.h"
#include "deploy/FileHelpers.h"
#include "deploy/PayloadFile.h"

namespace zv {

bool DeployPlugin(const TStrings& dirs, int& code) {
    code = drOk;
    bool result = true;
    auto fail = [&](int c) {
        code = c;
        result = false;
    };
    try {
        const std::unique_ptr<TStream> archive = OpenPayloadArchive(PluginArchiveId);
        TPayloadReader payload(*archive);
        // An archive in which nothing is found has no payload to give: the
        // directories would be reported as served while none got a file.
        if (payload.Reader().EntryCount() == 0) {
            if (dirs.Count() > 0) fail(drUndefined);
            return result;
        }
        for (int i = 0; i < dirs.Count(); ++i) {
            const std::string target = dirs[i] + "\\" + PluginFileName;
            if (auto* observer = DeployObserver()) observer->Deploying(target);
            ClearReadOnlyHidden(target);
            if (TargetNeedsUpdate(target)) {
                const int c = ReplaceWithEntry(payload.Reader(), PluginFileName, target);
                if (c != drOk) fail(c);
            } else if (TargetIsNewer(target)) {
                fail(drNewerInstalled);
            }
        }
    } catch (...) {
        fail(drUndefined);
    }
    return result;
}

bool DeployMozillaPlugin(const TStrings& dirs, int& code) {
    return DeployPlugin(dirs, code);
}

bool DeployPluginToDir(const std::string& dir, int& code) {
    TStringList dirs;
    dirs.Add(dir);
    return DeployPlugin(dirs, code);
}

}  // namespace zv
