// What a deployment tells whoever runs it, as it happens: the directory it is
// about to serve, each payload file it put in place, each registry key it
// created and each value it changed, and how the registration tool ended.
// The installer's command listens (progress, log, the record that uninstall
// reads); nobody listens by default, and a listener never changes what the
// deployment does.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace zv {

struct TToolRun;

class TDeployObserver {
public:
    virtual ~TDeployObserver() = default;
    // file: the payload file about to be put in place (its directory is the
    // one being served).
    virtual void Deploying(const std::string& file) { (void)file; }
    // The payload file now at `file` was written by this deployment.
    virtual void FileInstalled(const std::string& file) { (void)file; }
    // `key` (no leading "\") was created under root; `outermost` is the
    // first key of its path that did not exist before (key itself, or one
    // of its parents, which the creation made too).
    virtual void KeyCreated(HKEY root, const std::string& key, const std::string& outermost) {
        (void)root;
        (void)key;
        (void)outermost;
    }
    // A string value written or deleted: its state before and after (no
    // value: absent). Only real changes are told.
    virtual void ValueChanged(HKEY root, const std::string& key, const std::string& name,
                              const std::optional<std::string>& before,
                              const std::optional<std::string>& after) {
        (void)root;
        (void)key;
        (void)name;
        (void)before;
        (void)after;
    }
    // The registration tool ran on file (unregister: with /u).
    virtual void RegistrationToolRan(const std::string& file, bool unregister, const TToolRun& run) {
        (void)file;
        (void)unregister;
        (void)run;
    }
};

// The current listener, or nullptr.
TDeployObserver* DeployObserver();

// Makes `observer` the listener for its lifetime and puts the previous one
// back afterwards.
class TDeployObserverScope {
public:
    explicit TDeployObserverScope(TDeployObserver* observer);
    ~TDeployObserverScope();
    TDeployObserverScope(const TDeployObserverScope&) = delete;
    TDeployObserverScope& operator=(const TDeployObserverScope&) = delete;

private:
    TDeployObserver* m_previous;
};

// "HKCR", "HKLM", "HKCU" for the predefined roots the deployment writes; ""
// for others.
std::string RootKeyName(HKEY root);
// The predefined root of such a name; nullptr for an unknown name.
HKEY RootKeyOf(const std::string& name);

}  // namespace zv
