// Default seams. The message box is the program's own dialog rather than GTK's: GTK's wraps
// a report at a fixed width, in the middle of paths and words, and sizes a short message so
// narrow that the title bar cuts the program's name.
#include "app/message_box.h"

#include <wx/artprov.h>
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/display.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include <algorithm>

#include <cstdio>

#include "app/wx_text.h"

namespace zorvane {

const char* const kMessageTitle = "Zorvane";

namespace {

// Room the window manager takes from the title bar for its icon and buttons.
constexpr int kTitleBarButtons = 140;
constexpr int kLeastWidth = 320;

struct IconRow {
    long style;
    const char* art;
};

const IconRow kIcons[] = {
    {wxICON_ERROR, wxART_ERROR},
    {wxICON_WARNING, wxART_WARNING},
    {wxICON_QUESTION, wxART_QUESTION},
    {wxICON_INFORMATION, wxART_INFORMATION},
};

struct AnswerRow {
    int id, answer;
};

const AnswerRow kAnswers[] = {
    {wxID_YES, wxYES}, {wxID_NO, wxNO}, {wxID_OK, wxOK}, {wxID_CANCEL, wxCANCEL}};

wxSizer* messageRow(wxDialog& dialog, const std::string& text, long style) {
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    for (const IconRow& icon : kIcons) {
        if (!(style & icon.style)) continue;
        wxBitmap image = wxArtProvider::GetBitmap(icon.art, wxART_MESSAGE_BOX);
        row->Add(new wxStaticBitmap(&dialog, wxID_ANY, image), 0, wxRIGHT, 12);
        break;
    }
    auto* label = new wxStaticText(&dialog, wxID_ANY, toWx(text));
    int screen = wxDisplay(0u).GetClientArea().width;
    label->Wrap(screen * 3 / 4);  // only a line longer than most of the screen, at a space
    row->Add(label, 1, wxALIGN_CENTER_VERTICAL);
    return row;
}

}  // namespace

int showMessageDialog(wxWindow* parent, const std::string& text, const std::string& title,
                      long style) {
    wxDialog dialog(parent, wxID_ANY, toWx(title));
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(messageRow(dialog, text, style), 1, wxEXPAND | wxALL, 12);
    long buttons = style & (wxOK | wxCANCEL | wxYES_NO | wxNO_DEFAULT);
    if (!(buttons & (wxOK | wxYES_NO))) buttons |= wxOK;
    column->Add(dialog.CreateStdDialogButtonSizer(buttons), 0, wxEXPAND | wxALL, 8);
    dialog.SetSizer(column);
    // Every button ends the box with its own id; Escape is the "no" of a question.
    dialog.Bind(wxEVT_BUTTON, [&dialog](wxCommandEvent& event) { dialog.EndModal(event.GetId()); });
    if ((buttons & wxYES_NO) && !(buttons & wxCANCEL)) dialog.SetEscapeId(wxID_NO);
    dialog.Fit();
    int titleWidth = dialog.GetTextExtent(toWx(title)).x + kTitleBarButtons;
    dialog.SetSize(
        wxSize(std::max({dialog.GetSize().x, titleWidth, kLeastWidth}), dialog.GetSize().y));
    dialog.CentreOnParent();
    int id = showModal(dialog);
    for (const AnswerRow& row : kAnswers)
        if (row.id == id) return row.answer;
    return (buttons & wxCANCEL) ? wxCANCEL : (buttons & wxYES_NO) ? wxNO : wxOK;
}

MessageBoxSeam& messageBoxSeam() {
    static MessageBoxSeam seam = showMessageDialog;
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
        list += path + trf(": %zu 文字\n", count);
    }
    if (total == 0) return;
    const std::string head =
        trf("Shift_JIS で表せない %zu 文字を「?」として書き出しました（%zu 個のファイル）\n\n",
            total, lossy);
    if (lossy > kListed) list += trf("ほか %zu 個のファイル\n", lossy - kListed);
    showMessage(
        parent,
        head + list + "\n" + trs("出力の文字コードを UTF-8 にすると、すべての文字が保たれます"),
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
