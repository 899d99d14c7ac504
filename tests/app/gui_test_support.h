// Helpers for the window tests: answering the program's message boxes and dialogs,
// pumping the event loop until something holds, and a scratch copy of a project.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "app/file_dialogs.h"
#include "app/message_box.h"

#include <wx/event.h>

class wxWindow;
class wxDialog;
class wxButton;
class wxCheckBox;

namespace ztest {

// Keeps turning the event loop until cond() holds or the time is up.
bool pumpUntil(const std::function<bool()>& cond, int timeoutMs = 5000);
// Turns the event loop for a while (for things that must NOT happen).
void pumpFor(int milliseconds);

struct ShownMessage {
    std::string text, title;
    long style = 0;
};

// Every message box is recorded and answered with `answer` while this lives.
class MessageBoxes {
  public:
    explicit MessageBoxes(int answer = 0);
    ~MessageBoxes();
    MessageBoxes(const MessageBoxes&) = delete;
    MessageBoxes& operator=(const MessageBoxes&) = delete;
    void answerWith(int answer) { answer_ = answer; }
    std::vector<ShownMessage> shown;

  private:
    int answer_;
    zorvane::MessageBoxSeam saved_;
};

// File dialogs return the queued paths in turn ("" = cancel once they run out).
class FileDialogs {
  public:
    FileDialogs();
    ~FileDialogs();
    FileDialogs(const FileDialogs&) = delete;
    FileDialogs& operator=(const FileDialogs&) = delete;
    std::vector<std::string> answers;
    std::vector<zorvane::FileDialogRequest> requests;

  private:
    zorvane::FileDialogSeam saved_;
};

// Modal dialogs are handed to `handler` instead of being shown; its result is the return code.
class ModalDialogs {
  public:
    explicit ModalDialogs(std::function<int(wxDialog&)> handler);
    ~ModalDialogs();
    ModalDialogs(const ModalDialogs&) = delete;
    ModalDialogs& operator=(const ModalDialogs&) = delete;
    int count = 0;

  private:
    zorvane::ModalDialogSeam saved_;
};

// A command event of `type` sent to `control` as if the user had used it.
void send(wxWindow* control, wxEventType type, int value = 0);
void click(wxButton* button);
// Sets the box and sends the event its change would send.
void tick(wxCheckBox* box, bool on);

// Game.ini, Game.rxproj and Data/ of the sample project copied into `folder`; returns the
// copied project file, or "" when the sample project is absent.
std::string copySampleProject(const std::string& folder);

// The text of a window found by its label under `parent` (recursively), or nullptr.
wxWindow* findByLabel(wxWindow* parent, const std::string& label);

}  // namespace ztest
