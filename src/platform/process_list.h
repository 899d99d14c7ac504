// Is a program running? Used to refuse rewriting project files while the editor is open.
#pragma once
#include <string>
#include <string_view>

namespace zorvane {

// Compares exeName without regard to case with each process's name and argv[0]'s base
// name (also after a '\', for programs run under Wine; when argv[0] is Wine's own loader,
// argv[1] too). procRoot is the process folder to look in (tests pass a fake one).
bool isProcessRunning(std::string_view exeName, const std::string& procRoot = "/proc");

}  // namespace zorvane
