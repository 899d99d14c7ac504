// Private profile files, read the way Windows reads them and edited line by line: an
// unchanged line is written back from its original bytes, so comments, odd spacing,
// unknown lines, line ends and the file's encoding all survive a save.
#include "platform/ini_file.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string_view>

#include "platform/atomic_file.h"
#include "platform/codepage.h"
#include "platform/file_util.h"
#include "platform/string_util.h"

namespace zorvane {

namespace {

const char kUtf8Bom[] = "\xEF\xBB\xBF";
const std::string_view kLineEnds[] = {"", "\r\n", "\n", "\r"};

std::string_view trim(std::string_view s) {
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string_view::npos) return {};
    size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

// "[Name]" -> Name. A header missing its ']' still opens a section, as on Windows.
bool parseSectionHeader(std::string_view line, std::string_view& name) {
    std::string_view t = trim(line);
    if (t.empty() || t.front() != '[') return false;
    size_t close = t.find(']');
    name = trim(t.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
    return true;
}

// "key = value" -> key, position of '='. Comment lines and lines without '=' are not keys.
bool parseKeyLine(std::string_view line, std::string_view& key, size_t& equals) {
    std::string_view t = trim(line);
    if (t.empty() || t.front() == ';' || t.front() == '[') return false;
    equals = line.find('=');
    if (equals == std::string_view::npos) return false;
    key = trim(line.substr(0, equals));
    return !key.empty();
}

// A value enclosed in matching quotes loses them, as GetPrivateProfileString does.
std::string unquote(std::string_view v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return std::string(v);
}

// Reading drops a value's outer spaces and one pair of enclosing quotes; a value that has
// either is written inside quotes so that it reads back as it was set.
std::string quotedIfNeeded(const std::string& value) {
    bool spaced = !value.empty() && (value.front() == ' ' || value.front() == '\t' ||
                                     value.back() == ' ' || value.back() == '\t');
    bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                  value.back() == value.front();
    return spaced || quoted ? "\"" + value + "\"" : value;
}

std::string withoutLineBreaks(const std::string& value) {
    std::string out;
    for (char c : value)
        if (c != '\r' && c != '\n') out += c;
    return out;
}

}  // namespace

IniFile IniFile::fromText(std::string bytes) {
    IniFile ini;
    ini.parse(bytes);
    return ini;
}

bool IniFile::load(const std::string& path) {
    std::string bytes;
    if (!readRegularFile(path, kMaxIniBytes, bytes)) {
        parse("");
        return false;
    }
    parse(bytes);
    return true;
}

std::string_view IniFile::textOf(const Line& line) const {
    const std::string& buffer = line.textInTextBuffer ? text_ : raw_;
    return std::string_view(buffer).substr(line.textStart, line.textLength);
}

std::string_view IniFile::endingOf(const Line& line) const {
    return kLineEnds[line.ending];
}

IniFile::Line IniFile::editedLine(std::string_view text, uint8_t ending) {
    Line line;
    line.textStart = uint32_t(text_.size());
    line.textLength = uint32_t(text.size());
    line.textInTextBuffer = true;
    line.changed = true;
    line.ending = ending;
    text_.append(text);
    return line;
}

void IniFile::parse(const std::string& bytes) {
    lines_.clear();
    text_.clear();
    bom_.clear();
    std::string_view all(bytes);
    if (all.substr(0, 3) == kUtf8Bom) {
        bom_ = kUtf8Bom;
        all.remove_prefix(3);
    }
    raw_ = std::string(all);
    cp932_ = !isValidUtf8(raw_);
    // CP932 trail bytes are never CR or LF, so splitting the raw bytes is safe.
    for (size_t pos = 0; pos < raw_.size();) {
        size_t cut = std::min(raw_.find_first_of("\r\n", pos), raw_.size());
        Line line;
        line.rawStart = line.textStart = uint32_t(pos);
        line.rawLength = line.textLength = uint32_t(cut - pos);
        if (cut < raw_.size()) {
            bool crlf = raw_[cut] == '\r' && cut + 1 < raw_.size() && raw_[cut + 1] == '\n';
            line.ending = crlf ? 1 : raw_[cut] == '\n' ? 2 : 3;
            cut += crlf ? 2 : 1;
        }
        if (cp932_) {
            std::string text = cp932ToUtf8(std::string_view(raw_).substr(pos, line.rawLength));
            line.textStart = uint32_t(text_.size());
            line.textLength = uint32_t(text.size());
            line.textInTextBuffer = true;
            text_ += text;
        }
        lines_.push_back(line);
        pos = cut;
    }
}

uint8_t IniFile::defaultEnding() const {
    for (const Line& line : lines_)
        if (line.ending != 0) return line.ending;
    return 1;
}

bool IniFile::findSection(const std::string& section, size_t& header, size_t& end) const {
    std::string_view name;
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (!parseSectionHeader(textOf(lines_[i]), name) || !equalsNoCase(name, trim(section)))
            continue;
        header = i;
        end = i + 1;
        while (end < lines_.size() && !parseSectionHeader(textOf(lines_[end]), name)) ++end;
        return true;
    }
    return false;
}

bool IniFile::findKey(size_t from, size_t to, const std::string& key, size_t& at) const {
    std::string_view name;
    size_t equals;
    for (size_t i = from; i < to; ++i) {
        if (parseKeyLine(textOf(lines_[i]), name, equals) && equalsNoCase(name, trim(key))) {
            at = i;
            return true;
        }
    }
    return false;
}

bool IniFile::has(const std::string& section, const std::string& key) const {
    size_t header, end, at;
    return findSection(section, header, end) && findKey(header + 1, end, key, at);
}

std::string IniFile::get(const std::string& section, const std::string& key,
                         const std::string& def) const {
    size_t header, end, at;
    if (!findSection(section, header, end) || !findKey(header + 1, end, key, at)) return def;
    std::string_view text = textOf(lines_[at]);
    return unquote(trim(text.substr(text.find('=') + 1)));
}

int IniFile::getInt(const std::string& section, const std::string& key, int def) const {
    return toInt(get(section, key, ""), def);
}

int IniFile::toInt(const std::string& value, int def) {
    size_t pos = 0;
    bool negative = false;
    if (pos < value.size() && (value[pos] == '+' || value[pos] == '-'))
        negative = value[pos++] == '-';
    if (pos >= value.size() || value[pos] < '0' || value[pos] > '9') return def;
    long long number = 0;
    for (; pos < value.size() && value[pos] >= '0' && value[pos] <= '9'; ++pos) {
        number = number * 10 + (value[pos] - '0');
        if (number > static_cast<long long>(INT_MAX) + 1)
            number = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) number = -number;
    if (number > INT_MAX) number = INT_MAX;  // clamp rather than wrap around
    return static_cast<int>(number);
}

void IniFile::insertLine(size_t at, const std::string& text) {
    uint8_t ending = defaultEnding();
    if (at > 0 && lines_[at - 1].ending == 0) lines_[at - 1].ending = ending;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), editedLine(text, ending));
}

void IniFile::set(const std::string& section, const std::string& key, const std::string& value) {
    // A line break in a value would split the line and corrupt the file.
    std::string clean = withoutLineBreaks(value);
    std::string written = quotedIfNeeded(clean);
    size_t header, end, at;
    if (!findSection(section, header, end)) {
        insertLine(lines_.size(), "[" + section + "]");
        insertLine(lines_.size(), key + "=" + written);
        return;
    }
    if (findKey(header + 1, end, key, at)) {
        // Same value as read (spacing and quotes aside): leave the line's bytes alone.
        if (get(section, key, "") == clean) return;
        // Keep the key's own spelling and the spacing around '='.
        std::string_view text = textOf(lines_[at]);
        size_t valueStart = text.find('=') + 1;
        while (valueStart < text.size() && (text[valueStart] == ' ' || text[valueStart] == '\t'))
            ++valueStart;
        std::string edited = std::string(text.substr(0, valueStart)) + written;
        lines_[at] = editedLine(edited, lines_[at].ending);
        return;
    }
    size_t last = header;
    for (size_t i = header + 1; i < end; ++i)
        if (!trim(textOf(lines_[i])).empty()) last = i;
    insertLine(last + 1, key + "=" + written);
}

void IniFile::removeSection(const std::string& section) {
    size_t header, end;
    while (findSection(section, header, end))
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(header),
                     lines_.begin() + static_cast<std::ptrdiff_t>(end));
}

IniFile::Values IniFile::allValues() const {
    Values values;
    std::unordered_map<std::string, std::string>* current = nullptr;  // null: a repeated header
    std::string_view name;
    size_t equals = 0;
    for (const Line& line : lines_) {
        std::string_view text = textOf(line);
        if (parseSectionHeader(text, name)) {
            std::string section = asciiLower(name);
            current = values.count(section) ? nullptr : &values[section];
        } else if (current && parseKeyLine(text, name, equals)) {
            current->emplace(asciiLower(name), unquote(trim(text.substr(equals + 1))));
        }
    }
    return values;
}

std::vector<std::string> IniFile::sections() const {
    std::vector<std::string> names;
    std::string_view name;
    for (const Line& line : lines_)
        if (parseSectionHeader(textOf(line), name)) names.emplace_back(name);
    return names;
}

std::string IniFile::bytes() const {
    std::string out = bom_;
    for (const Line& line : lines_) {
        if (!line.changed)
            out += std::string_view(raw_).substr(line.rawStart, line.rawLength);
        else if (cp932_)
            out += utf8ToCp932(std::string(textOf(line)));
        else
            out += textOf(line);
        out += endingOf(line);
    }
    return out;
}

bool IniFile::save(const std::string& path) const {
    return writeFileAtomic(path, bytes());
}

}  // namespace zorvane
