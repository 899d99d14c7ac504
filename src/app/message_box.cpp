// Default seams: the real wxMessageBox and ShowModal.
#include "app/message_box.h"

#include <wx/dialog.h>
#include <wx/msgdlg.h>

#include <cstdio>

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

void warnLostCharacters(wxWindow* parent,
                        const std::vector<std::pair<std::string, size_t>>& files) {
    constexpr size_t kListed = 15;  // a box taller than the screen hides its button
    std::string list;
    size_t total = 0, lossy = 0;
    for (const auto& [path, count] : files) {
        if (count == 0) continue;
        total += count;
        if (++lossy > kListed) continue;
        char line[48];
        std::snprintf(line, sizeof line, ": %zu 文字\n", count);
        list += path + line;
    }
    if (total == 0) return;
    char head[160];
    std::snprintf(
        head, sizeof head,
        "Shift_JIS で表せない %zu 文字を「?」として書き出しました（%zu 個のファイル）\n\n", total,
        lossy);
    if (lossy > kListed) {
        char more[64];
        std::snprintf(more, sizeof more, "ほか %zu 個のファイル\n", lossy - kListed);
        list += more;
    }
    showMessage(parent,
                head + list + "\n出力の文字コードを UTF-8 にすると、すべての文字が保たれます",
                kMessageTitle, wxOK | wxICON_WARNING);
}

ModalDialogSeam& modalDialogSeam() {
    static ModalDialogSeam seam = [](wxDialog& dialog) { return dialog.ShowModal(); };
    return seam;
}

int showModal(wxDialog& dialog) {
    return modalDialogSeam()(dialog);
}

}  // namespace zorvane
