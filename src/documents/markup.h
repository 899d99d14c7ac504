// The two faces of a document: every piece of HTML markup paired with the text that stands
// in for it in a plain-text document, and the escaping of project text for HTML.
#pragma once

#include <string>
#include <string_view>

namespace zorvane {

struct Markup {
    bool html;
    const char* headingOpen;        // <h3>
    const char* headingClose;       // </h3> + line break
    const char* conditionOpen;      // <div class="condition"> (a <dl> cannot stand in a <p>)
    const char* conditionClose;     // </div> + line break
    const char* listOpen;           // <dl> + line break
    const char* listClose;          // </dl> + line break
    const char* titleOpen;          // <dt>
    const char* titleClose;         // </dt>, the block's own line break follows
    const char* titleCloseBreak;    // </dt> + line break
    const char* blockOpenBreak;     // <dd> + line break
    const char* blockOpenDirect;    // <dd>, the first value follows directly
    const char* blockOpenPrefixed;  // <dd>, each value carries its own prefix
    const char* blockClose;         // </dd> + line break
    const char* itemPrefix;         // before an item that does not follow <dd> directly
    const char* itemEnd;            // <br> + line break
    const char* eventOpen;          // <pre class="event">
    const char* scriptOpen;         // <pre class="script">
    const char* preClose;           // </pre> + line break
    const char* scriptClose;        // </pre><br> + line break
    const char* numberOpen;         // <font class="linenum">
    const char* fontClose;          // </font>
    const char* lineEnd;            // </font> + line break, closing a listing line
};

const Markup& markupFor(bool html);

// Project text for HTML: & " > < become entities. Only ASCII bytes are replaced, and those
// never occur inside a multi-byte UTF-8 character, so no character is split.
void appendEscaped(std::string& out, std::string_view text);
std::string escapeHtml(std::string_view text);

// Project text as a document form wants it: escaped for HTML, unchanged for text.
inline void appendText(std::string& out, std::string_view text, const Markup& markup) {
    if (markup.html)
        appendEscaped(out, text);
    else
        out.append(text);
}

// <font class="NAME"> in HTML, nothing in text.
void appendFontOpen(std::string& out, std::string_view className, const Markup& markup);

}  // namespace zorvane
