// The showing functions of the two message dialogs (unit KvSkinDialogs):
// each creates its dialog, passes the texts, shows it modally, frees it and
// returns the modal result (1 for OK). The dialog paints with `skin`, the
// caller's skin data (its plain looks without one).
//
// The unattended modes decide which dialogs show (SetDialogPolicy): all of
// them, only the error dialog (/SILENT), or none (/VERYSILENT). A dialog
// that does not show returns 0 at once; either way the listener hears of it
// (the log).
#pragma once

#include <functional>
#include <string>

namespace zv {

class TksSkinData;

int ShowSkinErrorDialog(std::string caption, std::string message, TksSkinData* skin = nullptr);
int ShowSkinInfoDialog(std::string caption, std::string message, TksSkinData* skin = nullptr);

enum class TDialogPolicy { dpShowAll, dpErrorsOnly, dpNone };
void SetDialogPolicy(TDialogPolicy policy);
[[nodiscard]] TDialogPolicy DialogPolicy();

// error: the error dialog; shown: whether it showed.
using TDialogListener =
    std::function<void(bool error, const std::string& caption, const std::string& message, bool shown)>;
void SetDialogListener(TDialogListener listener);

}  // namespace zv
