// CSV files for spreadsheets: every cell quoted, quotes doubled, CR and LF dropped, rows
// ended by CR LF, text in CP932 or in UTF-8 behind a byte-order mark (so spreadsheets
// know it), written through a temporary file. The reader of the lists the import takes is
// in csv_reader.h.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/codepage.h"
#include "project/output_encoding.h"

namespace zorvane {

enum class CsvEncoding { Cp932, Utf8 };

CsvEncoding csvEncodingFor(OutputEncoding encoding, const ProjectDatabase& project);

constexpr const char* kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// True for a text a spreadsheet would run as a formula: it starts with =, +, -, @ or TAB
// and is not a plain number ("-5" stays a number).
inline bool looksLikeFormula(std::string_view text) {
    if (text.empty() || std::string_view("=+-@\t").find(text.front()) == std::string_view::npos)
        return false;
    const std::string copy(text);
    char* end = nullptr;
    std::strtod(copy.c_str(), &end);
    const bool number = end == copy.c_str() + copy.size() && copy.size() > 1 &&
                        copy.find_first_of("0123456789") != std::string::npos;
    return !number;
}

// One quoted cell: inner quotes doubled, CR and LF bytes removed. With quoteFormulas a cell
// that looksLikeFormula() gets a leading apostrophe, which spreadsheets show as text.
// Appended to `out`: a record is made without a string per cell, and a cell without a
// quote or line break (most) is copied whole.
inline void appendCsvCell(std::string& out, std::string_view text, bool quoteFormulas = false) {
    out += '"';
    if (quoteFormulas && looksLikeFormula(text)) out += '\'';
    if (text.find_first_of("\"\r\n") == std::string_view::npos) {
        out.append(text);
    } else {
        for (char c : text) {
            if (c == '\r' || c == '\n') continue;
            if (c == '"') out += '"';
            out += c;
        }
    }
    out += '"';
}

inline std::string csvCell(std::string_view text, bool quoteFormulas = false) {
    std::string out;
    appendCsvCell(out, text, quoteFormulas);
    return out;
}

// One whole record with its CR LF, in the file's encoding; no cells make an empty line.
// Characters that CP932 cannot hold are counted into `lost`.
inline std::string csvRecord(const std::vector<std::string>& cells, CsvEncoding encoding,
                             size_t* lost = nullptr, bool quoteFormulas = false) {
    std::string line;
    size_t bytes = cells.size() * 3 + 2;
    for (const std::string& cell : cells) bytes += cell.size();
    line.reserve(bytes);
    for (size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) line += ',';
        appendCsvCell(line, cells[i], quoteFormulas);
    }
    if (encoding == CsvEncoding::Cp932) line = utf8ToCp932(line, Unmappable::Question, lost);
    line += "\r\n";
    return line;
}

// A printf-formatted cell; like the editor's fixed buffer it holds at most 1023 bytes, cut
// where a character starts.
std::string csvFormatCell(const char* format, ...) __attribute__((format(printf, 1, 2)));

// How a CSV file is written: its encoding, whether cells that look like formulas are
// made text, and the folder beneath which no link is followed (none when empty).
struct CsvFileOptions {
    CsvEncoding encoding = CsvEncoding::Cp932;
    bool quoteFormulas = false;
    std::string root;
};

class CsvWriter {
  public:
    // A file that cannot be created makes every write a no-op and commit() false.
    explicit CsvWriter(const std::string& path, CsvEncoding encoding = CsvEncoding::Cp932)
        : CsvWriter(path, CsvFileOptions{encoding, false, {}}) {}
    CsvWriter(const std::string& path, const CsvFileOptions& options)
        : encoding_(options.encoding), quoteFormulas_(options.quoteFormulas) {
        if (file_.open(path, options.root) && encoding_ == CsvEncoding::Utf8)
            put(kUtf8ByteOrderMark);
    }

    bool isOpen() const { return file_.isOpen(); }

    void writeRow(const std::vector<std::string>& cells) {
        if (file_.isOpen()) put(csvRecord(cells, encoding_, &lost_, quoteFormulas_));
    }

    // Bytes handed to the file so far.
    uint64_t bytesWritten() const { return bytes_; }
    // Characters written as "?" because the file's encoding cannot hold them.
    size_t lostCharacters() const { return lost_; }

    // Puts the file in place; without a commit the target is left as it was.
    bool commit() { return file_.isOpen() && file_.commit(); }

  private:
    void put(std::string_view bytes) {
        file_.write(bytes);
        bytes_ += bytes.size();
    }

    AtomicFileWriter file_;
    CsvEncoding encoding_;
    bool quoteFormulas_ = false;
    uint64_t bytes_ = 0;
    size_t lost_ = 0;
};

}  // namespace zorvane
