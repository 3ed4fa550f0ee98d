// The information dialog (unit frmKvSkinInfo): the system's information icon
// and a one-line message whose label grows with its text.
#pragma once

#include "app/KvSkinMessageForm.h"

namespace zv {

class TKvSkinInfoForm : public TKvSkinMessageForm {
public:
    static constexpr int InfoIcon = 32516;  // IDI_ASTERISK
    explicit TKvSkinInfoForm(TComponent* owner, TksSkinData* skin = nullptr)
        : TKvSkinMessageForm(owner, InfoIcon, false, skin) {
        SetName("KvSkinInfoForm");
    }
    ~TKvSkinInfoForm() override { BeforeDestruction(); }
};

}  // namespace zv
