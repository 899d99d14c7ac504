// wxString <-> UTF-8. wxCSConv is never used: on any failure it silently returns "".
#include "app/wx_text.h"

#include <wx/translation.h>

#include <cstdarg>
#include <string>

#include "platform/codepage.h"
#include "platform/string_util.h"

namespace zorvane {

wxString toWx(const std::string& utf8) {
    std::string clean = displayUtf8(utf8);
    return wxString::FromUTF8(clean.data(), clean.size());
}

std::string fromWx(const wxString& text) {
    wxScopedCharBuffer buffer = text.utf8_str();
    return std::string(buffer.data(), buffer.length());
}

wxString tr(const char* japanese) {
    return wxGetTranslation(wxString::FromUTF8(japanese));
}

std::string trs(const char* japanese) {
    return fromWx(tr(japanese));
}

std::string trf(const char* japanese, ...) {
    const std::string form = trs(japanese);
    va_list args;
    va_start(args, japanese);
    std::string text = formatList(form.c_str(), args);
    va_end(args);
    return text;
}

}  // namespace zorvane
