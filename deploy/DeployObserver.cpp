#include "deploy/DeployObserver.h"

namespace zv {

namespace {

TDeployObserver*& Current() {
    static TDeployObserver* observer = nullptr;
    return observer;
}

}  // namespace

TDeployObserver* DeployObserver() {
    return Current();
}

TDeployObserverScope::TDeployObserverScope(TDeployObserver* observer) : m_previous(Current()) {
    Current() = observer;
}

TDeployObserverScope::~TDeployObserverScope() {
    Current() = m_previous;
}

std::string RootKeyName(HKEY root) {
    if (root == HKEY_CLASSES_ROOT) return "HKCR";
    if (root == HKEY_LOCAL_MACHINE) return "HKLM";
    if (root == HKEY_CURRENT_USER) return "HKCU";
    return {};
}

HKEY RootKeyOf(const std::string& name) {
    if (name == "HKCR") return HKEY_CLASSES_ROOT;
    if (name == "HKLM") return HKEY_LOCAL_MACHINE;
    if (name == "HKCU") return HKEY_CURRENT_USER;
    return nullptr;
}

}  // namespace zv
