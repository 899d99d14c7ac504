// The only crossing between the program's UTF-8 std::string and wxString. Invalid UTF-8
// (bytes kept from a project file) shows as replacement characters instead of vanishing.
// The window texts are written in Japanese and pass through the message catalog here:
// wx's own _() reads its argument in the C library's encoding, which breaks Japanese
// source texts under the C locale, so the catalog is always asked with UTF-8.
#pragma once
#include <wx/string.h>
#include <wx/translation.h>

#include <string>

namespace zorvane {

wxString toWx(const std::string& utf8);
std::string fromWx(const wxString& text);

// A Japanese source text in the interface's language. Texts kept in tables are marked
// with wxTRANSLATE where they are written and pass through one of these where shown.
wxString tr(const char* japanese);
std::string trs(const char* japanese);
// The same for a printf form; the catalog's forms are checked against it by msgfmt.
std::string trf(const char* japanese, ...) __attribute__((format(printf, 1, 2)));

}  // namespace zorvane
