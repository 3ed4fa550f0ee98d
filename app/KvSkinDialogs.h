// The showing functions of the two message dialogs (unit KvSkinDialogs):
// each creates its dialog, passes the texts, shows it modally, frees it and
// returns the modal result (1 for OK).
#pragma once

#include <string>

namespace zv {

int ShowSkinErrorDialog(std::string caption, std::string message);
int ShowSkinInfoDialog(std::string caption, std::string message);

}  // namespace zv
