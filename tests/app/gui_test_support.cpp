#include "app/gui_test_support.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/window.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "app/wx_text.h"
#include "support/test_support.h"

namespace ztest {

namespace fs = std::filesystem;

bool pumpUntil(const std::function<bool()>& cond, int timeoutMs) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!cond()) {
        if (std::chrono::steady_clock::now() > end) return false;
        wxTheApp->ProcessPendingEvents();
        wxTheApp->Yield(true);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void pumpFor(int milliseconds) {
    pumpUntil([] { return false; }, milliseconds);
}

MessageBoxes::MessageBoxes(int answer) : answer_(answer), saved_(zorvane::messageBoxSeam()) {
    zorvane::messageBoxSeam() = [this](wxWindow*, const std::string& text, const std::string& title,
                                       long style) {
        shown.push_back({text, title, style});
        return answer_;
    };
}

MessageBoxes::~MessageBoxes() {
    zorvane::messageBoxSeam() = saved_;
}

FileDialogs::FileDialogs() : saved_(zorvane::fileDialogSeam()) {
    zorvane::fileDialogSeam() = [this](wxWindow*, const zorvane::FileDialogRequest& request) {
        requests.push_back(request);
        if (answers.empty()) return std::string();
        std::string next = answers.front();
        answers.erase(answers.begin());
        return next;
    };
}

FileDialogs::~FileDialogs() {
    zorvane::fileDialogSeam() = saved_;
}

ModalDialogs::ModalDialogs(std::function<int(wxDialog&)> handler)
    : saved_(zorvane::modalDialogSeam()) {
    zorvane::modalDialogSeam() = [this, handler](wxDialog& dialog) {
        ++count;
        return handler(dialog);
    };
}

ModalDialogs::~ModalDialogs() {
    zorvane::modalDialogSeam() = saved_;
}

std::string copySampleProject(const std::string& folder) {
    fs::path sample = fs::path(sampleProject()).parent_path();
    if (!fs::exists(sampleProject())) return "";
    for (const char* name : {"Game.ini", "Game.rxproj"})
        fs::copy_file(sample / name, fs::path(folder) / name);
    fs::copy(sample / "Data", fs::path(folder) / "Data", fs::copy_options::recursive);
    return (fs::path(folder) / "Game.rxproj").string();
}

wxWindow* findByLabel(wxWindow* parent, const std::string& label) {
    return wxWindow::FindWindowByLabel(zorvane::toWx(label), parent);
}

void send(wxWindow* control, wxEventType type, int value) {
    wxCommandEvent event(type, control->GetId());
    event.SetEventObject(control);
    event.SetInt(value);
    control->GetEventHandler()->ProcessEvent(event);
}

void click(wxButton* button) {
    send(button, wxEVT_BUTTON);
}

void tick(wxCheckBox* box, bool on) {
    box->SetValue(on);
    send(box, wxEVT_CHECKBOX, on ? 1 : 0);
}

}  // namespace ztest
