// The error dialog (unit frmKvSkinError): the system's error icon and a
// message that wraps within 241 x 41 pixels.
#pragma once

#include "app/KvSkinMessageForm.h"

namespace zv {

class TKvSkinErrorForm : public TKvSkinMessageForm {
public:
    static constexpr int ErrorIcon = 32513;  // IDI_HAND
    explicit TKvSkinErrorForm(TComponent* owner, TksSkinData* skin = nullptr)
        : TKvSkinMessageForm(owner, ErrorIcon, true, skin) {
        SetName("KvSkinErrorForm");
    }
    ~TKvSkinErrorForm() override { BeforeDestruction(); }
};

}  // namespace zv
