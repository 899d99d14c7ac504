// The only crossing between the program's UTF-8 std::string and wxString. Invalid UTF-8
// (bytes kept from a project file) shows as replacement characters instead of vanishing.
#pragma once
#include <wx/string.h>

#include <string>

namespace zorvane {

wxString toWx(const std::string& utf8);
std::string fromWx(const wxString& text);

}  // namespace zorvane
