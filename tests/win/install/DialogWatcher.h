// Answers the modal message dialogs while a test runs code that shows them:
// a message-loop timer (it runs inside the dialogs' modal loops) records
// each dialog's kind, caption and message and presses OK on it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "app/frmKvSkinError.h"
#include "app/frmKvSkinInfo.h"
#include "tests/win/support/WinTestSupport.h"
#include "vcl/Forms.h"

namespace installtest {

struct TShownDialog {
    std::string kind;  // "error" or "info"
    std::string caption;
    std::string message;
    bool operator==(const TShownDialog&) const = default;
};

inline std::vector<TShownDialog>& ShownDialogs() {
    static std::vector<TShownDialog> shown;
    return shown;
}

// Called with each dialog before it is answered; returning true means the
// test answered it itself.
inline std::function<bool(zv::TKvSkinMessageForm&)>& OnDialog() {
    static std::function<bool(zv::TKvSkinMessageForm&)> f;
    return f;
}

inline void CALLBACK AnswerDialogs(HWND, UINT, UINT_PTR, DWORD) {
    // A test looking at a dialog may run the message loop, which brings
    // this timer back while the dialog is still being looked at.
    static bool busy = false;
    if (busy) return;
    busy = true;
    struct TDone {
        ~TDone() { busy = false; }
    } done;
    for (int i = 0; i < zv::Screen->FormCount(); ++i) {
        auto* form = dynamic_cast<zv::TKvSkinMessageForm*>(zv::Screen->Forms(i));
        if (!form || !form->Modal() || !form->HandleAllocated() || !IsWindowVisible(form->HandleOrNull()) ||
            form->ModalResult() != zv::mrNone)
            continue;
        ShownDialogs().push_back({dynamic_cast<zv::TKvSkinErrorForm*>(form) ? "error" : "info",
                                  zvtest::WindowText(form->HandleOrNull()), form->MessageLabel->Caption()});
        if (OnDialog() && OnDialog()(*form)) continue;
        form->OKButton->ButtonClick();
    }
}

class TDialogWatcher {
public:
    TDialogWatcher() {
        ShownDialogs().clear();
        m_timer = SetTimer(nullptr, 0, 30, AnswerDialogs);
    }
    ~TDialogWatcher() {
        KillTimer(nullptr, m_timer);
        OnDialog() = nullptr;
    }
    TDialogWatcher(const TDialogWatcher&) = delete;
    TDialogWatcher& operator=(const TDialogWatcher&) = delete;
    [[nodiscard]] const std::vector<TShownDialog>& Shown() const { return ShownDialogs(); }

private:
    UINT_PTR m_timer = 0;
};

}  // namespace installtest
