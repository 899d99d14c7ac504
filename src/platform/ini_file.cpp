// Private profile files, read the way Windows reads them and edited line by line: an
// unchanged line is written back from its original bytes, so comments, odd spacing,
// unknown lines, line ends and the file's encoding all survive a save.
#include "platform/ini_file.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "platform/atomic_file.h"
#include "platform/codepage.h"
#include "platform/file_util.h"

namespace zorvane {

namespace {

const char kUtf8Bom[] = "\xEF\xBB\xBF";

std::string_view trim(std::string_view s) {
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string_view::npos) return {};
    size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
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
    if (!readWholeFile(path, bytes)) {
        parse("");
        return false;
    }
    parse(bytes);
    return true;
}

void IniFile::parse(const std::string& bytes) {
    lines_.clear();
    bom_.clear();
    std::string_view rest(bytes);
    if (rest.substr(0, 3) == kUtf8Bom) {
        bom_ = kUtf8Bom;
        rest.remove_prefix(3);
    }
    cp932_ = !isValidUtf8(rest);
    // CP932 trail bytes are never CR or LF, so splitting the raw bytes is safe.
    while (!rest.empty()) {
        size_t cut = rest.find_first_of("\r\n");
        Line line;
        line.raw = std::string(rest.substr(0, cut));
        if (cut == std::string_view::npos) {
            rest = {};
        } else {
            size_t endLen =
                (rest[cut] == '\r' && cut + 1 < rest.size() && rest[cut + 1] == '\n') ? 2 : 1;
            line.ending = std::string(rest.substr(cut, endLen));
            rest.remove_prefix(cut + endLen);
        }
        line.text = cp932_ ? cp932ToUtf8(line.raw) : line.raw;
        lines_.push_back(std::move(line));
    }
}

std::string IniFile::defaultEnding() const {
    for (const Line& line : lines_)
        if (!line.ending.empty()) return line.ending;
    return "\r\n";
}

bool IniFile::findSection(const std::string& section, size_t& header, size_t& end) const {
    std::string_view name;
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (!parseSectionHeader(lines_[i].text, name) || !equalsNoCase(name, trim(section)))
            continue;
        header = i;
        end = i + 1;
        while (end < lines_.size() && !parseSectionHeader(lines_[end].text, name)) ++end;
        return true;
    }
    return false;
}

bool IniFile::findKey(size_t from, size_t to, const std::string& key, size_t& at) const {
    std::string_view name;
    size_t equals;
    for (size_t i = from; i < to; ++i) {
        if (parseKeyLine(lines_[i].text, name, equals) && equalsNoCase(name, trim(key))) {
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
    const std::string& text = lines_[at].text;
    return unquote(trim(std::string_view(text).substr(text.find('=') + 1)));
}

int IniFile::getInt(const std::string& section, const std::string& key, int def) const {
    std::string value = get(section, key, "");
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
    std::string ending = defaultEnding();
    if (at > 0 && lines_[at - 1].ending.empty()) lines_[at - 1].ending = ending;
    Line line;
    line.text = text;
    line.ending = ending;
    line.changed = true;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
}

void IniFile::set(const std::string& section, const std::string& key, const std::string& value) {
    // A line break in a value would split the line and corrupt the file.
    std::string clean = withoutLineBreaks(value);
    size_t header, end, at;
    if (!findSection(section, header, end)) {
        insertLine(lines_.size(), "[" + section + "]");
        insertLine(lines_.size(), key + "=" + clean);
        return;
    }
    if (findKey(header + 1, end, key, at)) {
        // Same value as read (spacing and quotes aside): leave the line's bytes alone.
        if (get(section, key, "") == clean) return;
        Line& line = lines_[at];
        // Keep the key's own spelling and the spacing around '='.
        size_t valueStart = line.text.find('=') + 1;
        while (valueStart < line.text.size() &&
               (line.text[valueStart] == ' ' || line.text[valueStart] == '\t'))
            ++valueStart;
        line.text = line.text.substr(0, valueStart) + clean;
        line.changed = true;
        return;
    }
    size_t last = header;
    for (size_t i = header + 1; i < end; ++i)
        if (!trim(lines_[i].text).empty()) last = i;
    insertLine(last + 1, key + "=" + clean);
}

void IniFile::removeSection(const std::string& section) {
    size_t header, end;
    while (findSection(section, header, end))
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(header),
                     lines_.begin() + static_cast<std::ptrdiff_t>(end));
}

std::vector<std::string> IniFile::sections() const {
    std::vector<std::string> names;
    std::string_view name;
    for (const Line& line : lines_)
        if (parseSectionHeader(line.text, name)) names.emplace_back(name);
    return names;
}

std::string IniFile::bytes() const {
    std::string out = bom_;
    for (const Line& line : lines_) {
        if (!line.changed)
            out += line.raw;
        else
            out += cp932_ ? utf8ToCp932(line.text) : line.text;
        out += line.ending;
    }
    return out;
}

bool IniFile::save(const std::string& path) const {
    return writeFileAtomic(path, bytes());
}

}  // namespace zorvane
