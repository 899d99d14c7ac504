// wxString <-> UTF-8. wxCSConv is never used: on any failure it silently returns "".
#include "app/wx_text.h"

#include <wx/translation.h>

#include <cstdarg>
#include <cstdio>

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

wxString tr(const char* japanese) {
    return wxGetTranslation(wxString::FromUTF8(japanese));
}

std::string trs(const char* japanese) {
    return fromWx(tr(japanese));
}

std::string trf(const char* japanese, ...) {
    const std::string form = trs(japanese);
    va_list args, again;
    va_start(args, japanese);
    va_copy(again, args);
    int size = std::vsnprintf(nullptr, 0, form.c_str(), args);
    va_end(args);
    std::string text(size > 0 ? size_t(size) : 0, '\0');
    if (size > 0) std::vsnprintf(text.data(), text.size() + 1, form.c_str(), again);
    va_end(again);
    return text;
}

}  // namespace zorvane
