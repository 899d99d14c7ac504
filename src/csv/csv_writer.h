// CSV files for spreadsheets: every cell quoted, quotes doubled, CR and LF dropped, rows
// ended by CR LF, text in CP932 or in UTF-8 behind a byte-order mark (so spreadsheets
// know it), written through a temporary file. The reader of the lists the import takes is
// in csv_reader.h.
#pragma once

#include <cstdint>
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

// One quoted cell: inner quotes doubled, CR and LF bytes removed.
inline std::string csvCell(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\r' || c == '\n') continue;
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
    return out;
}

// One whole record with its CR LF, in the file's encoding; no cells make an empty line.
inline std::string csvRecord(const std::vector<std::string>& cells, CsvEncoding encoding) {
    std::string line;
    for (size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) line += ',';
        line += csvCell(cells[i]);
    }
    if (encoding == CsvEncoding::Cp932) line = utf8ToCp932(line, Unmappable::Question);
    line += "\r\n";
    return line;
}

// A printf-formatted cell; like the editor's fixed buffer it holds at most 1023 bytes, cut
// where a character starts.
std::string csvFormatCell(const char* format, ...) __attribute__((format(printf, 1, 2)));

class CsvWriter {
  public:
    // A file that cannot be created makes every write a no-op and commit() false.
    explicit CsvWriter(const std::string& path, CsvEncoding encoding = CsvEncoding::Cp932)
        : encoding_(encoding) {
        if (file_.open(path) && encoding == CsvEncoding::Utf8) put(kUtf8ByteOrderMark);
    }

    bool isOpen() const { return file_.isOpen(); }

    void writeRow(const std::vector<std::string>& cells) {
        if (file_.isOpen()) put(csvRecord(cells, encoding_));
    }

    // Bytes handed to the file so far.
    uint64_t bytesWritten() const { return bytes_; }

    // Puts the file in place; without a commit the target is left as it was.
    bool commit() { return file_.isOpen() && file_.commit(); }

  private:
    void put(std::string_view bytes) {
        file_.write(bytes);
        bytes_ += bytes.size();
    }

    AtomicFileWriter file_;
    CsvEncoding encoding_;
    uint64_t bytes_ = 0;
};

}  // namespace zorvane
