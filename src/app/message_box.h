// The one way the program shows a message box or runs a modal dialog. Both are seams:
// a test replaces them to answer questions and to see what would have been shown.
#pragma once
#include <wx/defs.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

class wxWindow;
class wxDialog;

namespace zorvane {

// Returns wxYES, wxNO, wxOK or wxCANCEL, as wxMessageBox does.
using MessageBoxSeam = std::function<int(wxWindow* parent, const std::string& text,
                                         const std::string& title, long style)>;
MessageBoxSeam& messageBoxSeam();
int showMessage(wxWindow* parent, const std::string& text, const std::string& title, long style);

// What the message seam shows unless a test stands in: the text with its own line breaks
// (a long line wraps between words, or between characters where it has no spaces), in a
// box wide enough for its whole title and high enough for every line; a text taller than
// the screen scrolls in a read-only box above the buttons. The dialog runs through showModal.
int showMessageDialog(wxWindow* parent, const std::string& text, const std::string& title,
                      long style);

// Returns the dialog's return code (wxID_OK, wxID_CANCEL, ...).
using ModalDialogSeam = std::function<int(wxDialog& dialog)>;
ModalDialogSeam& modalDialogSeam();
int showModal(wxDialog& dialog);

// After writing files in Shift_JIS: names each file that holds characters written as "?"
// and how many, and suggests UTF-8. Shows nothing when no character was lost.
void warnLostCharacters(wxWindow* parent, const std::vector<std::pair<std::string, size_t>>& files);

// The caption of warnings and questions.
extern const char* const kMessageTitle;

}  // namespace zorvane
