#pragma once
// The program's message presenter: dialog requests go to the message dialog window (TFXDias), the
// standard error box and the system box to a QMessageBox.
#include "foundation/XDias.h"

namespace lumvard {

class DialogPresenter final : public MessagePresenter {
public:
    // Modal: shows the dialog with exec() and destroys it before returning its result.
    // Modeless: shows (or reuses) the notice, paints it at once and returns its window handle.
    qintptr present(const MessageRequest &request) override;
    // Destroys the dialog, if one exists (shown or not).
    void destroyNotice() override;
    bool noticeOnScreen() const override;
};

// The process-wide presenter of the program.
DialogPresenter &dialogPresenter();
// Installs dialogPresenter() for the process; call once the QApplication exists.
void installDialogPresenter();

} // namespace lumvard
