// Is a program running? Used to refuse rewriting project files while the editor is open.
#pragma once
#include <string_view>

namespace zorvane {

// Compares exeName without regard to case with each process's name and argv[0]'s base
// name (also after a '\', for programs run under Wine).
bool isProcessRunning(std::string_view exeName);

}  // namespace zorvane
