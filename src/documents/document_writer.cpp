// The document writer: templates, the body of each kind, and the document's encoding.
// Everything the project says is escaped in HTML; markup and templates are not.
#include "documents/document_writer.h"

#include <cstring>

#include "documents/condition_block.h"
#include "documents/markup.h"
#include "listing/listing.h"
#include "listing/operands.h"
#include "map/map_data.h"
#include "platform/atomic_file.h"
#include "platform/codepage.h"
#include "platform/file_util.h"
#include "platform/string_util.h"
#include "project/project_database.h"
#include "text/text_chars.h"
#include "text/text_matcher.h"

namespace zorvane {

const char* const kHeaderTemplateName = "header.html";
const char* const kFooterTemplateName = "footer.html";
const char* const kColourRulesName = "ruby_color.txt";

namespace {

const char* const kIndent = "　";
const char* const kClosingLine = "◆";

DocumentResult skipped(std::string why) {
    DocumentResult result;
    result.outcome = DocumentOutcome::Skipped;
    result.message = std::move(why);
    return result;
}

DocumentResult failed(std::string message, std::string path) {
    DocumentResult result;
    result.outcome = DocumentOutcome::Failed;
    result.message = std::move(message);
    result.failedPath = std::move(path);
    return result;
}

DocumentResult bodyWritten() {
    DocumentResult result;
    result.outcome = DocumentOutcome::Written;
    return result;
}

// Decimal digits of n, at least 1: the width of line numbers up to n.
int numberWidth(size_t n) {
    int width = 1;
    for (; n >= 10; n /= 10) ++width;
    return width;
}

void appendLineNumber(std::string& out, size_t number, int width, const Markup& m) {
    out += m.numberOpen;
    out += format("%*zu", width, number);
    out += m.fontClose;
    out += ' ';
}

void appendHeading(std::string& out, const std::string& text, const Markup& m) {
    out += m.headingOpen;
    appendText(out, text, m);
    out += m.headingClose;
}

// One listing line: the line's own leading marker (one character) in class code000, the
// rest in the class of its code; the closing command is its marker alone.
void appendCommandLine(std::string& out, const std::string& line, int32_t code, const Markup& m) {
    std::string codeClass = format("code%03d", code);
    if (line == kClosingLine) {
        appendFontOpen(out, codeClass, m);
        appendText(out, line, m);
        return;
    }
    size_t marker = line.empty() ? 0 : charLengthAt(line, 0);
    appendFontOpen(out, "code000", m);
    appendText(out, std::string_view(line).substr(0, marker), m);
    out += m.fontClose;
    appendFontOpen(out, codeClass, m);
    appendText(out, std::string_view(line).substr(marker), m);
}

void appendListing(std::string& out, const EventCommandList& list, const ListingOptions& listing,
                   const DocumentOptions& options, const Markup& m) {
    out += m.eventOpen;
    int width = numberWidth(list.size());
    std::string line, before, after;
    const bool decorated = m.html && options.decorateLine;
    for (size_t i = 0; i < list.size(); ++i) {
        const EventCommand& command = list[i];
        if (decorated) {
            before.clear();
            after.clear();
            options.decorateLine(i, command, before, after);
            out += before;
        }
        if (options.lineNumbers) appendLineNumber(out, i + 1, width, m);
        for (int32_t level = 0; level < shownIndent(command.indent); ++level) out += kIndent;
        formatCommand(line, command, listing, nullptr);
        appendCommandLine(out, line, command.code, m);
        if (decorated) {
            // The line's own font ends before what the page adds to it.
            out += m.fontClose;
            out += after;
            out += m.lineEnd + std::strlen(m.fontClose);
        } else {
            out += m.lineEnd;
        }
    }
    out += m.preClose;
}

std::string replaceAll(std::string_view text, std::string_view from, std::string_view to) {
    std::string out;
    out.reserve(text.size());
    size_t start = 0;
    for (size_t hit; (hit = text.find(from, start)) != std::string_view::npos;
         start = hit + from.size()) {
        out.append(text.substr(start, hit - start));
        out.append(to);
    }
    out.append(text.substr(start));
    return out;
}

// Lines end at each CR LF; once no CR LF follows, at each LF. The piece after the last
// separator is a line too, even when empty.
std::vector<std::string_view> scriptLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t pos = 0;
    for (;;) {
        size_t crlf = text.find("\r\n", pos);
        size_t lf = crlf == std::string_view::npos ? text.find('\n', pos) : crlf;
        if (lf == std::string_view::npos) break;
        lines.push_back(text.substr(pos, lf - pos));
        pos = lf + (lf == crlf ? 2 : 1);
    }
    lines.push_back(text.substr(pos));
    return lines;
}

// The script's text as the block shows it: coloured (and escaped) when the matcher is
// loaded, escaped otherwise, as stored in text documents.
std::string scriptText(const std::string& text, const DocumentSources& sources, const Markup& m) {
    if (!m.html) return text;
    if (sources.matcher == nullptr || !sources.matcher->isLoaded()) return escapeHtml(text);
    static const ColourRules kNoRules;
    const ColourRules& rules = sources.colourRules ? *sources.colourRules : kNoRules;
    std::string coloured = colourScript(replaceAll(text, "\r\n", "\n"), rules, sources.matcher);
    return replaceAll(coloured, "\n", "\r\n");
}

void appendScript(std::string& out, const Script& script, const DocumentSources& sources,
                  const DocumentOptions& options, const Markup& m) {
    out += m.scriptOpen;
    std::string body = scriptText(script.text, sources, m);
    if (m.html && options.lineNumbers) {
        std::vector<std::string_view> lines = scriptLines(body);
        int width = numberWidth(lines.size());
        for (size_t i = 0; i < lines.size(); ++i) {
            appendLineNumber(out, i + 1, width, m);
            out.append(lines[i]);
            out += "\r\n";
        }
    } else {
        out += body;
    }
    out += m.scriptClose;
}

ListingOptions listingOptions(const DocumentSources& sources, const DocumentOptions& options,
                              OwnerKind kind, int ownerId) {
    ListingOptions listing;
    listing.project = &sources.project;
    listing.detail = options.detail;
    listing.language = options.language;
    listing.ownerKind = kind;
    listing.ownerId = ownerId;
    return listing;
}

bool emptyList(const EventCommandList& list) {
    return list.size() <= 1;
}

DocumentResult commonEventBody(const DocumentSources& sources, int id,
                               const DocumentOptions& options, const Markup& m, std::string& out,
                               std::string& title) {
    const ProjectDatabase& db = sources.project;
    std::string path = commonEventListPath(id);
    EventCommandList list;
    if (static_cast<size_t>(id) >= db.commonEvents().size() ||
        !readCommandList(db.commonEventsFile(), path, list))
        return failed(format(say("コモンイベント[%d]の取得に失敗しました", options.language), id),
                      path);
    if (options.skipEmpty && emptyList(list))
        return skipped(format("common event %d is empty", id));
    Lang lang = options.language;
    title = say("コモンイベント", lang) +
            db.label(id, LabelKind::CommonEvent, LabelStyle::numbered(), lang);
    appendHeading(out, title, m);
    out += renderConditionBlock(commonEventSections(db.commonEvents()[size_t(id)], db, lang),
                                m.html);
    appendListing(out, list, listingOptions(sources, options, OwnerKind::CommonEvent, id),
                  options, m);
    return bodyWritten();
}

DocumentResult troopPageBody(const DocumentSources& sources, int id, int page,
                             const DocumentOptions& options, const Markup& m, std::string& out,
                             std::string& title) {
    const ProjectDatabase& db = sources.project;
    std::string path = troopPageListPath(id, page - 1);
    EventCommandList list;
    if (static_cast<size_t>(id) >= db.troops().size() ||
        static_cast<size_t>(page) > db.troops()[size_t(id)].pages.size() ||
        !readCommandList(db.troopsFile(), path, list))
        return failed(
            format(say("バトルイベント[%d-%d]の取得に失敗しました", options.language), id, page),
            path);
    if (options.skipEmpty && emptyList(list))
        return skipped(format("troop %d page %d is empty", id, page));
    Lang lang = options.language;
    title = say("バトルイベント", lang) +
            db.label(id, LabelKind::Troop, LabelStyle::numbered(), lang) +
            format(say(" %02dページ目", lang), page);
    appendHeading(out, title, m);
    const TroopPage& troopPage = db.troops()[size_t(id)].pages[size_t(page - 1)];
    out += renderConditionBlock(troopPageSections(troopPage, id, db, options.detail, lang),
                                m.html);
    appendListing(out, list, listingOptions(sources, options, OwnerKind::Troop, id),
                  options, m);
    return bodyWritten();
}

DocumentResult mapEventBody(const DocumentSources& sources, int id, int page,
                            const DocumentOptions& options, const Markup& m, std::string& out,
                            std::string& title) {
    const MapData* map = sources.map;
    if (map == nullptr || !map->loaded)
        return failed(say("マップイベントオブジェクトが不正です", options.language), "");
    std::string path = mapEventPageListPath(id, page - 1);
    auto event = map->events.find(id);
    if (event == map->events.end())
        return failed(
            format(say("マップイベント[%d-%d]の取得に失敗しました", options.language), id, page),
            path);
    if (static_cast<size_t>(page) > event->second.pages.size())
        return skipped(format("event %d has no page %d", id, page));
    EventCommandList list;
    if (!readCommandList(map->root, path, list))
        return failed(
            format(say("マップイベント[%d-%d]の取得に失敗しました", options.language), id, page),
            path);
    if (options.skipEmpty && emptyList(list))
        return skipped(format("event %d page %d is empty", id, page));
    Lang lang = options.language;
    std::string heading = fill(say("マップイベント[{1}:{2}] {3}ページ目", lang),
                               {format("%03d", id), event->second.name, format("%02d", page)});
    appendHeading(out, heading, m);
    // Events of different maps share ids: the title names the map too.
    title = say("マップ", lang) +
            sources.project.label(map->mapId, LabelKind::Map, LabelStyle::numbered(), lang) + " " +
            heading;
    const MapEventPage& eventPage = event->second.pages[size_t(page - 1)];
    out += renderConditionBlock(mapPageSections(eventPage, sources.project, options.detail, lang),
                                m.html);
    ListingOptions listing = listingOptions(sources, options, OwnerKind::Map, map->mapId);
    listing.mapEvents = &map->events;
    appendListing(out, list, listing, options, m);
    return bodyWritten();
}

DocumentResult scriptDocumentBody(const DocumentSources& sources, int id,
                                  const DocumentOptions& options, const Markup& m, std::string& out,
                                  std::string& title) {
    const std::vector<Script>& scripts = sources.project.scripts();
    if (static_cast<size_t>(id) > scripts.size())
        return failed(format(say("スクリプト[%d]の取得に失敗しました", options.language), id), "");
    const Script& script = scripts[size_t(id - 1)];
    if (options.skipEmpty && script.text.empty()) return skipped(format("script %d is empty", id));
    // Numbered as the program's script list shows it. A text document is the script alone,
    // so that it stays a Ruby file.
    title = fill(say("スクリプト[{1}:{2}]", options.language), {format("%03d", id), script.title});
    if (m.html) appendHeading(out, title, m);
    appendScript(out, script, sources, options, m);
    return bodyWritten();
}

DocumentResult writeBody(const DocumentSources& sources, const DocumentRequest& request,
                         const DocumentOptions& options, std::string& out, std::string& title) {
    const Markup& m = markupFor(options.html);
    switch (request.kind) {
        case DocumentKind::CommonEvent:
            return commonEventBody(sources, request.id, options, m, out, title);
        case DocumentKind::BattleEvent:
            return troopPageBody(sources, request.id, request.page, options, m, out, title);
        case DocumentKind::MapEvent:
            return mapEventBody(sources, request.id, request.page, options, m, out, title);
        case DocumentKind::Script:
            return scriptDocumentBody(sources, request.id, options, m, out, title);
    }
    return skipped("unknown document kind");
}

// Where the text of the header's first <title> element lies, to be replaced by the
// document's title so a browser's tab and bookmarks name it; false when it has none (the
// header is then kept as it is).
bool titleSpan(const std::string& header, size_t& start, size_t& end) {
    // Lowering keeps every byte in its place, so positions in it are positions in the header.
    const std::string lower = asciiLower(header);
    size_t open = lower.find("<title>");
    size_t close = open == std::string::npos ? open : lower.find("</title>", open);
    if (close == std::string::npos) return false;
    start = open + std::strlen("<title>");
    end = close;
    return true;
}

std::string templateFailure(const std::string& path) {
    return format("テンプレートファイル %s の読み込みに失敗しました", path.c_str());
}

bool readTemplate(const std::string& path, std::string& bytes, DocumentResult& failure) {
    if (readWholeFile(path, bytes)) return true;
    failure = failed(templateFailure(path), path);
    return false;
}

// The templates of options: those read once, else read now into `own`.
const DocumentTemplates* readTemplates(const DocumentOptions& options, DocumentTemplates& own,
                                       DocumentResult& failure) {
    if (const DocumentTemplates* read = options.templates.get()) {
        if (read->failure.empty()) return read;
        failure = failed(read->failure, read->failedPath);
        return nullptr;
    }
    if (!readTemplate(options.headerTemplate, own.header, failure) ||
        !readTemplate(options.footerTemplate, own.footer, failure))
        return nullptr;
    own.headerCp932 = !isValidUtf8(own.header);
    if (!titleSpan(own.header, own.titleStart, own.titleEnd)) own.titleStart = std::string::npos;
    return &own;
}

}  // namespace

void readTemplatesOnce(DocumentOptions& options) {
    options.templates.reset();
    auto read = std::make_shared<DocumentTemplates>();
    DocumentResult failure;
    if (!readTemplates(options, *read, failure)) {
        read->failure = failure.message;
        read->failedPath = failure.failedPath;
    }
    options.templates = std::move(read);
}

void useTemplateFolder(DocumentOptions& options, const std::string& folder) {
    options.templates.reset();
    options.headerTemplate = joinPath(folder, kHeaderTemplateName);
    options.footerTemplate = joinPath(folder, kFooterTemplateName);
}

DocumentResult writeEventDocument(const DocumentSources& sources, const DocumentRequest& request,
                                  const DocumentOptions& options) {
    bool pageless =
        request.kind == DocumentKind::CommonEvent || request.kind == DocumentKind::Script;
    int page = pageless ? 1 : request.page;
    if (request.id < 1 || page < 1) return skipped("no item chosen");
    DocumentResult result;
    DocumentTemplates own;
    const DocumentTemplates* templates = readTemplates(options, own, result);
    if (!templates) return result;
    std::string body, title;
    result = writeBody(sources, {request.kind, request.id, page}, options, body, title);
    if (!result.written()) return result;
    if (!options.html) {
        result.bytes = writesCp932(options.textEncoding, sources.project)
                           ? utf8ToCp932(body, Unmappable::Question, &result.lostCharacters)
                           : std::move(body);
        return result;
    }
    // A header that is not UTF-8 is taken for a Shift_JIS template: the document follows it.
    const bool cp932 = templates->headerCp932;
    const std::string& header = templates->header;
    const std::string& footer = templates->footer;
    if (cp932) body = utf8ToCp932(body, Unmappable::HtmlReference, &result.lostCharacters);
    std::string shownTitle;
    if (templates->titleStart != std::string::npos)
        shownTitle = cp932 ? utf8ToCp932(escapeHtml(title), Unmappable::HtmlReference)
                           : escapeHtml(title);
    result.bytes.reserve(header.size() + shownTitle.size() + body.size() + footer.size());
    if (templates->titleStart == std::string::npos) {
        result.bytes.append(header);
    } else {  // the header with the text of its first <title> replaced
        result.bytes.append(header, 0, templates->titleStart).append(shownTitle);
        result.bytes.append(header, templates->titleEnd, std::string::npos);
    }
    result.bytes.append(body).append(footer);
    return result;
}

bool saveDocument(const std::string& path, const DocumentResult& document,
                  const std::string& root) {
    return document.written() && writeFileAtomic(path, document.bytes, root);
}

bool saveDocument(const std::string& path, const DocumentResult& document, FolderTree& folders) {
    return document.written() && writeFileAtomic(path, document.bytes, folders);
}

}  // namespace zorvane
