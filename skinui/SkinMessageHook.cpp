#include "skinui/SkinMessageHook.h"

#include "vcl/Forms.h"

namespace zv {

bool TksFormSkinMessageHook::IsForm(TComponent* component) {
    return dynamic_cast<TCustomForm*>(component) != nullptr;
}

std::vector<TComponent*> TksFormSkinMessageHook::Forms() {
    std::vector<TComponent*> forms;
    for (int i = 0; i < Screen->FormCount(); ++i) forms.push_back(Screen->Forms(i));
    return forms;
}

void TksFormSkinMessageHook::SendSkinMessage(TComponent* form, unsigned message, TksSkinData* skinData,
                                             int lParam) {
    auto* f = dynamic_cast<TCustomForm*>(form);
    if (f == nullptr) return;
    ::SendMessageA(f->Handle(), message, reinterpret_cast<WPARAM>(skinData), static_cast<LPARAM>(lParam));
}

void InstallFormSkinMessageHook() {
    static TksFormSkinMessageHook hook;
    if (SkinMessageHook() != &hook) SetSkinMessageHook(&hook);
}

}  // namespace zv
