// wxString <-> UTF-8. wxCSConv is never used: on any failure it silently returns "".
#include "app/wx_text.h"

#include "platform/codepage.h"

namespace zorvane {

wxString toWx(const std::string& utf8) {
    std::string clean = displayUtf8(utf8);
    return wxString::FromUTF8(clean.data(), clean.size());
}

std::string fromWx(const wxString& text) {
    wxScopedCharBuffer buffer = text.utf8_str();
    return std::string(buffer.data(), buffer.length());
}

}  // namespace zorvane
