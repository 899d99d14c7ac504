// Private profile (ini) files: case-insensitive sections and keys, ';' comments, and edits
// that rewrite only the changed lines so every other byte of the file stays as it was.
#pragma once
#include <string>
#include <vector>

namespace zorvane {

class IniFile {
  public:
    // Reads the file; false when it cannot be read (the object is then empty).
    bool load(const std::string& path);
    static IniFile fromText(std::string bytes);

    std::string get(const std::string& section, const std::string& key,
                    const std::string& def = "") const;
    // GetPrivateProfileInt: optional sign and leading decimal digits, else def.
    int getInt(const std::string& section, const std::string& key, int def) const;
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
    struct Line {
        std::string text;    // UTF-8, without the line end
        std::string raw;     // the bytes as read, without the line end
        std::string ending;  // "\r\n", "\n", "\r", or "" for a last line without one
        bool changed = false;
    };

    void parse(const std::string& bytes);
    std::string defaultEnding() const;
    // First occurrence of the section: its header line and the end of its lines.
    bool findSection(const std::string& section, size_t& header, size_t& end) const;
    bool findKey(size_t from, size_t to, const std::string& key, size_t& at) const;
    void insertLine(size_t at, const std::string& text);

    std::vector<Line> lines_;
    std::string bom_;
    bool cp932_ = false;
};

}  // namespace zorvane
