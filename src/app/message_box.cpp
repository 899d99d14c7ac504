// Default seams. The message box is the program's own dialog rather than GTK's: GTK's wraps
// a report at a fixed width, in the middle of paths and words, and sizes a short message so
// narrow that the title bar cuts the program's name.
#include "app/message_box.h"

#include <wx/artprov.h>
#include <wx/button.h>
#include <wx/dcmemory.h>
#include <wx/dialog.h>
#include <wx/display.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <algorithm>

#include <cstdio>

#include "app/wx_text.h"

namespace zorvane {

const char* const kMessageTitle = "Zorvane";

namespace {

// Room the window manager takes from the title bar for its icon and buttons.
constexpr int kTitleBarButtons = 140;
// The title bar's height, until the window manager has said how high it is.
constexpr int kTitleBarHeight = 48;
constexpr int kLeastWidth = 320;
// The widest line in average characters: a path in a project fits whole, a paragraph reads.
constexpr int kLineChars = 100;

// What never starts a line: closing marks stay with the text they close. By code point
// (、。，．）」』】〕・ー), being no text of the program's own.
const wchar_t kNoLineStartMarks[] = {0x3001, 0x3002, 0xFF0C, 0xFF0E, 0xFF09, 0x300D,
                                     0x300F, 0x3011, 0x3015, 0x30FB, 0x30FC, 0};
const wxString kNoLineStart = wxString(kNoLineStartMarks) + "!),.:;?";

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

// One line broken where it passes `width`; ends[i] is the width of its first i+1
// characters. A space late enough in the line is the break (and goes); Japanese has none,
// so its lines break between characters.
wxString breakLine(const wxString& line, const wxArrayInt& ends, int width) {
    const size_t n = line.length();
    wxString broken;
    size_t start = 0;
    for (;;) {
        const int left = start ? ends[start - 1] : 0;
        size_t end = start;
        while (end < n && ends[end] - left <= width) ++end;
        if (end == n) return broken + line.Mid(start);
        size_t space = line.find_last_of(' ', end);
        if (space != wxString::npos && space > start && ends[space] - left > width / 2) {
            broken += line.Mid(start, space - start) + "\n";
            start = space + 1;
            continue;
        }
        end = std::max(end, start + 1);
        while (end < n && kNoLineStart.Find(line[end]) != wxNOT_FOUND) ++end;
        broken += line.Mid(start, end - start) + "\n";
        start = end;
    }
}

// The text with every line no wider than `width` in the font of `window`; its own line
// breaks stay.
wxString wrapText(wxWindow& window, const wxString& text, int width) {
    wxMemoryDC dc;  // to measure with; the box is not on the screen yet
    dc.SetFont(window.GetFont());
    wxArrayString lines = wxSplit(text, '\n', '\0');
    for (wxString& line : lines) {
        wxArrayInt ends;
        if (!line.empty() && dc.GetPartialTextExtents(line, ends) && ends.Last() > width)
            line = breakLine(line, ends, width);
    }
    return wxJoin(lines, '\n', '\0');
}

wxRect screenOf(wxWindow* parent) {
    int index = parent ? wxDisplay::GetFromWindow(parent) : wxNOT_FOUND;
    return wxDisplay(index == wxNOT_FOUND ? 0u : unsigned(index)).GetClientArea();
}

wxSizer* messageRow(wxDialog& dialog, const wxString& text, long style, int width,
                    wxStaticText*& label) {
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    for (const IconRow& icon : kIcons) {
        if (!(style & icon.style)) continue;
        wxBitmap image = wxArtProvider::GetBitmap(icon.art, wxART_MESSAGE_BOX);
        row->Add(new wxStaticBitmap(&dialog, wxID_ANY, image), 0, wxRIGHT, 12);
        break;
    }
    label = new wxStaticText(&dialog, wxID_ANY, "");
    label->SetLabelText(wrapText(*label, text, width));
    row->Add(label, 1, wxALIGN_CENTER_VERTICAL);
    return row;
}

// A text taller than the screen goes into a read-only box that scrolls (and lets the list
// be copied), as high as leaves the buttons on the screen.
void scrollWhenTooTall(wxDialog& dialog, wxSizer& column, wxStaticText* label, int highest) {
    int over = column.GetMinSize().y - highest;
    if (over <= 0) return;
    auto* box = new wxTextCtrl(&dialog, wxID_ANY, label->GetLabelText(), wxDefaultPosition,
                               wxDefaultSize, wxTE_MULTILINE | wxTE_READONLY);
    wxSize text = label->GetBestSize();
    box->SetMinSize(wxSize(box->GetSizeFromTextSize(text.x).x, text.y - over));
    column.Replace(label, box, true);
    label->Destroy();
    column.Layout();
    if (wxWindow* button = dialog.GetDefaultItem()) button->SetFocus();
}

}  // namespace

int showMessageDialog(wxWindow* parent, const std::string& text, const std::string& title,
                      long style) {
    wxDialog dialog(parent, wxID_ANY, toWx(title));
    const wxRect screen = screenOf(parent);
    const int width = std::min(screen.width * 3 / 4, dialog.GetCharWidth() * kLineChars);
    auto* column = new wxBoxSizer(wxVERTICAL);
    wxStaticText* label = nullptr;
    column->Add(messageRow(dialog, toWx(text), style, width, label), 1, wxEXPAND | wxALL, 12);
    long buttons = style & (wxOK | wxCANCEL | wxYES_NO | wxNO_DEFAULT);
    if (!(buttons & (wxOK | wxYES_NO))) buttons |= wxOK;
    column->Add(dialog.CreateStdDialogButtonSizer(buttons), 0, wxEXPAND | wxALL, 8);
    dialog.SetSizer(column);
    // Every button ends the box with its own id; Escape is the "no" of a question.
    dialog.Bind(wxEVT_BUTTON, [&dialog](wxCommandEvent& event) { dialog.EndModal(event.GetId()); });
    if ((buttons & wxYES_NO) && !(buttons & wxCANCEL)) dialog.SetEscapeId(wxID_NO);
    const int titleBar = std::max(kTitleBarHeight, dialog.GetSize().y - dialog.GetClientSize().y);
    scrollWhenTooTall(dialog, *column, label, screen.height - titleBar);
    wxSize client = column->GetMinSize();
    int titleWidth = dialog.GetTextExtent(toWx(title)).x + kTitleBarButtons;
    client.x = std::max({client.x, titleWidth, kLeastWidth});
    dialog.SetSize(dialog.ClientToWindowSize(client));
    // wx shows a box once the window manager has said how thick its frame is, and takes the
    // frame out of the size given here: the room the text needs is given back. (Setting the
    // client size instead shows the box at once, under a main window still being shown.)
    dialog.Bind(wxEVT_SIZE, [&dialog, client](wxSizeEvent& event) {
        event.Skip();
        wxSize have = dialog.GetClientSize();
        if (have.x >= client.x && have.y >= client.y) return;
        have.IncTo(client);
        dialog.SetClientSize(have);
    });
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
