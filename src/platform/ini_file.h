// Private profile (ini) files: case-insensitive sections and keys, ';' comments, and edits
// that rewrite only the changed lines so every other byte of the file stays as it was.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zorvane {

// Settings and registry files hold a few hundred lines; a bigger one is not read.
constexpr uint64_t kMaxIniBytes = uint64_t(1) << 20;

class IniFile {
  public:
    // Reads the file; false when it cannot be read, is no regular file or is larger than
    // kMaxIniBytes (the object is then empty).
    bool load(const std::string& path);
    static IniFile fromText(std::string bytes);

    std::string get(const std::string& section, const std::string& key,
                    const std::string& def = "") const;
    // GetPrivateProfileInt: optional sign and leading decimal digits, else def.
    int getInt(const std::string& section, const std::string& key, int def) const;
    static int toInt(const std::string& value, int def);
    // Every section's keys with the values get() gives (a section's first header, a key's
    // first line), names in ASCII lower case, gathered in one pass: for reading a large
    // file whole, where a get() per key would scan it again each time.
    using Values = std::unordered_map<std::string, std::unordered_map<std::string, std::string>>;
    Values allValues() const;
    bool has(const std::string& section, const std::string& key) const;

    void set(const std::string& section, const std::string& key, const std::string& value);
    // Removes a whole section (nothing happens when it is absent).
    void removeSection(const std::string& section);

    // Written to a temporary file in the same folder, then renamed into place.
    bool save(const std::string& path) const;
    // The bytes save() would write (in the file's own encoding).
    std::string bytes() const;

    bool wasCp932() const { return cp932_; }
    // An ASCII-only file carries no sign of its encoding; Game.ini's editor expects CP932,
    // so its callers say so before setting non-ASCII text.
    void setCp932(bool cp932) { cp932_ = cp932; }
    std::vector<std::string> sections() const;

  private:
    // Lines are offsets into two buffers rather than strings of their own, so even a file of
    // nothing but line ends costs a few bytes per line. An unchanged line's bytes are in
    // raw_; its text is there too for a UTF-8 file, else (converted, or edited) in text_.
    struct Line {
        uint32_t rawStart = 0;
        uint32_t rawLength = 0;
        uint32_t textStart = 0;
        uint32_t textLength = 0;
        uint8_t ending = 0;  // index into the table of line ends: "", "\r\n", "\n", "\r"
        bool textInTextBuffer = false;
        bool changed = false;
    };

    std::string_view textOf(const Line& line) const;
    std::string_view endingOf(const Line& line) const;
    // A line whose text is `text` (appended to text_), written as that text.
    Line editedLine(std::string_view text, uint8_t ending);
    void parse(const std::string& bytes);
    uint8_t defaultEnding() const;
    // First occurrence of the section: its header line and the end of its lines.
    bool findSection(const std::string& section, size_t& header, size_t& end) const;
    bool findKey(size_t from, size_t to, const std::string& key, size_t& at) const;
    void insertLine(size_t at, const std::string& text);

    std::vector<Line> lines_;
    std::string raw_;
    std::string text_;
    std::string bom_;
    bool cp932_ = false;
};

}  // namespace zorvane
