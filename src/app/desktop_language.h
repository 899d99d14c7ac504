// wx's own texts (stock buttons, the system's file and colour dialogs) in the desktop's
// language. The program's own texts are Japanese whatever the desktop says.
#pragma once

namespace zorvane {

// The C library's locale from the environment, with numbers kept in the C form that the
// files and the core expect, and wx's catalogs for the environment's language.
void useDesktopLanguage();

}  // namespace zorvane
