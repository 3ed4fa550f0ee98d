// The showing functions of the two message dialogs (unit KvSkinDialogs):
// each creates its dialog, passes the texts, shows it modally, frees it and
// returns the modal result (1 for OK). The dialog paints with `skin`, the
// caller's skin data (its plain looks without one).
#pragma once

#include <string>

namespace zv {

class TksSkinData;

int ShowSkinErrorDialog(std::string caption, std::string message, TksSkinData* skin = nullptr);
int ShowSkinInfoDialog(std::string caption, std::string message, TksSkinData* skin = nullptr);

}  // namespace zv
