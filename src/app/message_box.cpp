// Default seams: the real wxMessageBox and ShowModal.
#include "app/message_box.h"

#include <wx/dialog.h>
#include <wx/msgdlg.h>

#include "app/wx_text.h"

namespace zorvane {

const char* const kMessageTitle = "Zorvane";

MessageBoxSeam& messageBoxSeam() {
    static MessageBoxSeam seam = [](wxWindow* parent, const std::string& text,
                                    const std::string& title, long style) {
        return wxMessageBox(toWx(text), toWx(title), style, parent);
    };
    return seam;
}

int showMessage(wxWindow* parent, const std::string& text, const std::string& title, long style) {
    return messageBoxSeam()(parent, text, title, style);
}

ModalDialogSeam& modalDialogSeam() {
    static ModalDialogSeam seam = [](wxDialog& dialog) { return dialog.ShowModal(); };
    return seam;
}

int showModal(wxDialog& dialog) {
    return modalDialogSeam()(dialog);
}

}  // namespace zorvane
