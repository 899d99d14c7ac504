// Project text reaches the terminal only with its control characters made visible: an
// escape sequence hidden in a map name must not recolour, retitle or rewrite the user's
// terminal. Pipes and files receive the bytes unchanged.
#pragma once
#include <string>
#include <string_view>

namespace zorvane::cli {

// `text` with control characters written as escapes: C0 controls other than line feed and
// tab, and DEL, as \xNN; the C1 controls U+0080 to U+009F as \u00NN. `pendingC2` carries a
// lead byte 0xC2 left at the end of one piece over to the next.
std::string visibleControls(std::string_view text, bool& pendingC2);

// When standard output (and standard error) is a terminal, routes it through
// visibleControls. Call once, before anything is printed.
void protectTerminal();

// A progress line redrawn in place on standard error: the carriage return before it and the
// erase after it are the program's own and reach the terminal as they are, while `text`
// (which may carry project text) goes through stderr like any other output.
void drawStatusLine(const std::string& text);
// Erases the status line drawn last.
void clearStatusLine();

}  // namespace zorvane::cli
