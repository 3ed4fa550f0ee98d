// How the skin data's messages reach the program's windows: the skin layer
// knows nothing of windows, so the window layer installs this hook once.
// A skin message goes synchronously to each form's window (created first
// when it does not exist yet), the skin data's own form first.
#pragma once

#include "skin/SkinData.h"

namespace zv {

class TksFormSkinMessageHook : public TksSkinMessageHook {
public:
    bool IsForm(TComponent* component) override;
    std::vector<TComponent*> Forms() override;
    void SendSkinMessage(TComponent* form, unsigned message, TksSkinData* skinData, int lParam) override;
};

// Installs the one hook of the program; calling it again changes nothing.
void InstallFormSkinMessageHook();

}  // namespace zv
