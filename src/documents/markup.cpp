// The markup table of both document forms, and HTML escaping.
#include "documents/markup.h"

namespace zorvane {

namespace {

// The pieces in the order of Markup's fields; text documents put full-width spaces where
// HTML would indent a definition.
// clang-format off
const Markup kHtml = {
    true,
    "<h3>",
    "</h3>\r\n",
    "<div class=\"condition\">",
    "</div>\r\n",
    "<dl>\r\n",
    "</dl>\r\n",
    "<dt>",
    "</dt>",
    "</dt>\r\n",
    "<dd>\r\n",
    "<dd>",
    "<dd>",
    "</dd>\r\n",
    "",
    "<br>\r\n",
    "<pre class=\"event\">",
    "<pre class=\"script\">",
    "</pre>\r\n",
    "</pre><br>\r\n",
    "<font class=\"linenum\">",
    "</font>",
    "</font>\r\n",
};

const Markup kText = {
    false,   // html
    "",      // headingOpen
    "\r\n",  // headingClose
    "",      // conditionOpen
    "\r\n",  // conditionClose
    "\r\n",  // listOpen
    "\r\n",  // listClose
    "",      // titleOpen
    "",      // titleClose
    "\r\n",  // titleCloseBreak
    "\r\n",  // blockOpenBreak
    "　",     // blockOpenDirect
    "",      // blockOpenPrefixed
    "\r\n",  // blockClose
    "　",     // itemPrefix
    "\r\n",  // itemEnd
    "",      // eventOpen
    "",      // scriptOpen
    "\r\n",  // preClose
    "\r\n",  // scriptClose
    "",      // numberOpen
    "",      // fontClose
    "\r\n",  // lineEnd
};
// clang-format on

}  // namespace

const Markup& markupFor(bool html) {
    return html ? kHtml : kText;
}

void appendEscaped(std::string& out, std::string_view text) {
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char* entity = nullptr;
        switch (text[i]) {
            case '&':
                entity = "&amp;";
                break;
            case '"':
                entity = "&quot;";
                break;
            case '>':
                entity = "&gt;";
                break;
            case '<':
                entity = "&lt;";
                break;
            default:
                continue;
        }
        out.append(text.substr(start, i - start));
        out += entity;
        start = i + 1;
    }
    out.append(text.substr(start));
}

std::string escapeHtml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    appendEscaped(out, text);
    return out;
}

void appendFontOpen(std::string& out, std::string_view className, const Markup& markup) {
    if (!markup.html) return;
    out += "<font class=\"";
    appendEscaped(out, className);
    out += "\">";
}

}  // namespace zorvane
