// The main window (unit frmMain).
#pragma once

#include "vcl/Forms.h"

namespace zv {

class TMainForm : public TForm {
public:
    explicit TMainForm(TComponent* owner);
};

extern TMainForm* MainForm;

}  // namespace zv
