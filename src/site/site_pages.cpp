// Addresses, the page frame and the two files every page loads.
#include "site/site_pages.h"

#include "documents/markup.h"
#include "export/database_csv.h"
#include "platform/string_util.h"
#include "site/site_words.h"

namespace zorvane::site {

const char* const kEventListPage = "lists/events.html";
const char* const kSwitchPage = "lists/switches.html";
const char* const kCheckPage = "lists/check.html";
const char* const kScriptListPage = "scripts/index.html";
const char* const kStyleSheet = "site.css";
const char* const kSearchScript = "search.js";
const char* const kSearchIndex = "search-index.js";

std::string mapPage(int mapId) {
    return format("maps/Map%04d.html", mapId);
}
std::string mapPicture(int mapId) {
    return format("maps/Map%04d.png", mapId);
}
std::string commonEventPage(int id) {
    return format("events/CommonEvent%03d.html", id);
}
std::string troopPage(int troopId, int page) {
    return format("events/BattleEvent%03d-%02d.html", troopId, page);
}
std::string mapEventPage(int mapId, int eventId, int page) {
    return format("events/MapEvent%04d-%04d-%02d.html", mapId, eventId, page);
}
std::string scriptPage(int position) {
    return format("scripts/%03d.html", position);
}
std::string databasePage(int table) {
    return std::string("database/") + databaseTableName(table) + ".html";
}

std::string switchAnchor(int id) {
    return format("s%d", id);
}
std::string variableAnchor(int id) {
    return format("v%d", id);
}
std::string rowAnchor(int id) {
    return format("id%d", id);
}
std::string lineAnchor(int line) {
    return format("L%d", line);
}

std::string prefixFor(std::string_view page) {
    return page.find('/') == std::string_view::npos ? "" : "../";
}

std::string escaped(std::string_view text) {
    return escapeHtml(text);
}

std::string link(const std::string& prefix, const std::string& target, std::string_view text,
                 std::string_view cssClass) {
    std::string out = "<a href=\"" + escapeHtml(prefix + target) + "\"";
    if (!cssClass.empty()) out += " class=\"" + std::string(cssClass) + "\"";
    return out + ">" + escapeHtml(text) + "</a>";
}

namespace {

// The parts of the site, in the order of the navigation bar.
struct Part {
    const char* page;
    const char* caption;
};
const Part kParts[] = {
    {"index.html", "トップ"},
    {"lists/events.html", "イベント"},
    {"lists/switches.html", "スイッチ・変数"},
    {"lists/check.html", "診断"},
    {"database/actors.html", "データベース"},
    {"scripts/index.html", "スクリプト"},
};

std::string navigation(const std::string& prefix, ListingLanguage language) {
    std::string out = "<nav class=\"site\">";
    for (const Part& part : kParts)
        out += link(prefix, part.page, siteSay(part.caption, language)) + " ";
    out += "<input type=\"search\" id=\"site-search\" placeholder=\"" +
           std::string(siteSay("検索（名前・文章・スクリプト）", language)) +
           "\"><div id=\"site-results\"></div></nav>\n";
    return out;
}

std::string scriptTag(const std::string& prefix) {
    return "<script src=\"" + prefix + kSearchScript + "\"></script>\n";
}

}  // namespace

std::string framePage(std::string_view page, std::string_view title, std::string_view body,
                      ListingLanguage language) {
    std::string prefix = prefixFor(page);
    std::string out = std::string("<!DOCTYPE html>\n<html lang=\"") +
                      (language == ListingLanguage::English ? "en" : "ja") +
                      "\">\n<head>\n<meta charset=\"UTF-8\">\n";
    out += "<title>" + escapeHtml(title) + "</title>\n";
    out += "<link rel=\"stylesheet\" href=\"" + prefix + kStyleSheet + "\">\n</head>\n<body>\n";
    out += navigation(prefix, language);
    out += "<h1>" + escapeHtml(title) + "</h1>\n";
    out.append(body);
    out += scriptTag(prefix) + "</body>\n</html>\n";
    return out;
}

std::string frameDocument(std::string_view page, std::string document, std::string_view top,
                          std::string_view bottom, ListingLanguage language) {
    std::string prefix = prefixFor(page);
    auto insertAt = [&document](size_t at, const std::string& text) {
        document.insert(at == std::string::npos ? document.size() : at, text);
    };
    size_t head = document.find("</head>");
    if (head != std::string::npos)
        insertAt(head, "<link rel=\"stylesheet\" href=\"" + prefix + kStyleSheet + "\">\n");
    size_t body = document.find("<body");
    body = body == std::string::npos ? 0 : document.find('>', body);
    insertAt(body == std::string::npos ? 0 : body + 1,
             "\n" + navigation(prefix, language) + std::string(top));
    insertAt(document.rfind("</body>"), std::string(bottom) + scriptTag(prefix));
    return document;
}

std::string htmlTable(const std::vector<std::string>& heading,
                      const std::vector<std::vector<std::string>>& rows,
                      const std::vector<std::string>& rowIds) {
    std::string out = "<table>\n<tr>";
    for (const std::string& cell : heading) out += "<th>" + cell + "</th>";
    out += "</tr>\n";
    for (size_t i = 0; i < rows.size(); ++i) {
        if (i < rowIds.size() && !rowIds[i].empty())
            out += "<tr id=\"" + rowIds[i] + "\">";
        else
            out += "<tr>";
        for (const std::string& cell : rows[i]) out += "<td>" + cell + "</td>";
        out += "</tr>\n";
    }
    return out + "</table>\n";
}

const char* const kStyleSheetText =
    R"css(body { font-family: "IPAPGothic", "IPAGothic", sans-serif; font-size: 13px;
       margin: 0 12px 12px; color: #202020; background: #fff; }
nav.site { position: sticky; top: 0; z-index: 10; background: #33475b; padding: 6px 8px;
           margin: 0 -12px 8px; }
nav.site a { color: #fff; margin-right: 12px; text-decoration: none; }
nav.site a:hover { text-decoration: underline; }
#site-search { width: 22em; margin-left: 12px; }
#site-results { display: none; position: absolute; right: 8px; top: 34px; width: 36em;
                max-height: 70vh; overflow: auto; background: #fff; color: #202020;
                border: 1px solid #8090a0; box-shadow: 0 2px 8px rgba(0,0,0,.3); }
#site-results a { display: block; color: #0d47a1; margin: 0; padding: 4px 8px;
                  border-bottom: 1px solid #eee; }
/* Message texts hold \N[1] and the like: a font that draws 0x5C as a backslash first. */
#site-results small { display: block; color: #555;
                      font-family: "DejaVu Sans", "IPAPGothic", sans-serif; }
h1 { font-size: 18px; border-bottom: 2px solid #4a6fa5; }
h2 { font-size: 15px; margin-top: 18px; }
table { border-collapse: collapse; margin: 4px 0 12px; }
th, td { border: 1px solid #c8d0dc; padding: 2px 6px; vertical-align: top; text-align: left; }
th { background: #eef2f8; }
tr:target, span.line:target { background: #fff3b0; }
ul.tree, ul.tree ul { list-style: none; padding-left: 1.2em; margin: 0; }
details > summary { cursor: pointer; }
.refs a { font-size: 11px; padding: 0 3px; margin-left: 4px; border-radius: 3px;
          background: #e3ecf7; color: #0d47a1; text-decoration: none; }
.refs a.w { background: #fde7d9; color: #b54708; }
a.w { color: #b54708; }
img.map { border: 1px solid #8090a0; image-rendering: pixelated; }
dl.settings { display: grid; grid-template-columns: max-content auto; gap: 2px 12px;
              margin: 4px 0 12px; }
dl.settings dt { font-weight: bold; }
dl.settings dd { margin: 0; }
)css";

const char* const kSearchScriptText =
    R"js(// The site's search: the index (search-index.js) is loaded on the first key, through a
// script element, so that it also works from file:// where fetch() is refused.
(function () {
  var base = document.currentScript.src.replace(/search\.js(\?.*)?$/, "");
  var box = document.getElementById("site-search");
  var out = document.getElementById("site-results");
  if (!box || !out) return;
  var pending = null;
  function load(then) {
    if (window.zorvaneSearchIndex) return then();
    pending = then;
    if (document.getElementById("site-search-index")) return;
    var s = document.createElement("script");
    s.id = "site-search-index";
    s.src = base + "search-index.js";
    s.onload = function () { if (pending) pending(); };
    document.head.appendChild(s);
  }
  function snippet(text, at, length) {
    var from = Math.max(0, at - 30);
    return (from > 0 ? "…" : "") + text.substr(from, length + 60);
  }
  function show() {
    var q = box.value.trim().toLowerCase();
    out.textContent = "";
    if (!q) { out.style.display = "none"; return; }
    var found = 0;
    var entries = window.zorvaneSearchIndex;
    for (var i = 0; i < entries.length && found < 100; i++) {
      var e = entries[i];
      var inTitle = e[0].toLowerCase().indexOf(q);
      var inText = e[2].toLowerCase().indexOf(q);
      if (inTitle < 0 && inText < 0) continue;
      var a = document.createElement("a");
      a.href = base + e[1];
      a.textContent = e[0];
      if (inText >= 0) {
        var small = document.createElement("small");
        small.textContent = snippet(e[2], inText, q.length);
        a.appendChild(small);
      }
      out.appendChild(a);
      found++;
    }
    if (found === 0) out.textContent = "見つかりません";
    out.style.display = "block";
  }
  box.addEventListener("input", function () { load(show); });
  box.addEventListener("keydown", function (ev) {
    if (ev.key === "Escape") { box.value = ""; show(); }
  });
})();
)js";

}  // namespace zorvane::site
