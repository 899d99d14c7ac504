// Event and script documents: one common event, troop page, map event page or script of
// the loaded project as HTML (header template, heading, condition block, numbered command
// listing, footer template) or as plain text. The writer builds the document in memory and
// reports written, skipped or failed as data; saving it is a separate, atomic step.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "documents/ruby_colour.h"
#include "project/listing_language.h"
#include "project/output_encoding.h"

namespace zorvane {

class FolderTree;
class MapData;
class ProjectDatabase;
class TextMatcher;
struct EventCommand;

enum class DocumentKind : int { CommonEvent = 0, BattleEvent = 1, MapEvent = 2, Script = 3 };

struct DocumentTemplates;

struct DocumentOptions {
    bool html = true;
    bool lineNumbers = true;  // numbered listing lines (scripts: HTML only)
    bool detail = true;       // long command texts with captions
    bool skipEmpty = false;   // an empty event list or script gives no document
    // Headings, condition sections and command lines; the templates stay as they are.
    ListingLanguage language = ListingLanguage::Japanese;
    // Read whole for every document, in both forms; HTML documents are written in the
    // encoding of the header.
    std::string headerTemplate;
    std::string footerTemplate;
    // The two templates as read once for a run of many documents (readTemplatesOnce);
    // unset, each document reads them.
    std::shared_ptr<const DocumentTemplates> templates;
    OutputEncoding textEncoding = OutputEncoding::Automatic;
    // HTML listings: markup put before and after each command line (index from 0), for a
    // page that anchors lines or links what a command names. Empty: plain lines.
    std::function<void(size_t index, const EventCommand& command, std::string& before,
                       std::string& after)>
        decorateLine;
};

// The default template and rule file names, and options pointing at them in a folder.
extern const char* const kHeaderTemplateName;
extern const char* const kFooterTemplateName;
extern const char* const kColourRulesName;
void useTemplateFolder(DocumentOptions& options, const std::string& folder);

// The header and footer as read, or why they could not be.
struct DocumentTemplates {
    std::string header, footer;
    std::string failure, failedPath;  // empty when both were read
    // Looked at once, not for every document: a header that is not UTF-8, and where the
    // text of its <title> element lies (titleStart npos when it has none).
    bool headerCp932 = false;
    size_t titleStart = std::string::npos, titleEnd = std::string::npos;
};

// Reads the templates of options once, for every document written with them afterwards;
// a template that cannot be read fails each of those documents as it would have alone.
void readTemplatesOnce(DocumentOptions& options);

// What the writer reads besides the request.
struct DocumentSources {
    const ProjectDatabase& project;
    const MapData* map = nullptr;              // map events: the loaded map of the event
    const ColourRules* colourRules = nullptr;  // scripts in HTML
    const TextMatcher* matcher = nullptr;      // scripts are coloured only when it is loaded
};

struct DocumentRequest {
    DocumentKind kind = DocumentKind::CommonEvent;
    int id = 0;    // common event, troop, map event or script (scripts counted from 1)
    int page = 1;  // from 1; ignored for common events and scripts
};

enum class DocumentOutcome { Written, Skipped, Failed };

struct DocumentResult {
    DocumentOutcome outcome = DocumentOutcome::Skipped;
    std::string bytes;       // the document, in its file's encoding, when written
    std::string message;     // failed: the warning to show; skipped: why
    std::string failedPath;  // failed: the template file or the value path that failed
    size_t lostCharacters = 0;  // written as "?": the document's encoding cannot hold them
    bool written() const { return outcome == DocumentOutcome::Written; }
};

// A document made on a worker and taken back later: what the writer answered and whether
// its file was saved.
struct MadeDocument {
    DocumentOutcome outcome = DocumentOutcome::Skipped;
    std::string message;
    bool saved = false;
    uint64_t bytes = 0;
    size_t lost = 0;  // characters written as "?"
};

DocumentResult writeEventDocument(const DocumentSources& sources, const DocumentRequest& request,
                                  const DocumentOptions& options);

// Writes a written document's bytes to path through a temporary file; false when the
// document was not written or the file could not be. With a root, nothing below it is
// written through a link.
bool saveDocument(const std::string& path, const DocumentResult& document,
                  const std::string& root = {});
// The same with the output tree's folders held open.
bool saveDocument(const std::string& path, const DocumentResult& document, FolderTree& folders);

}  // namespace zorvane
