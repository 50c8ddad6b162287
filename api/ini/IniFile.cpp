#include "IniFile.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <unordered_set>

#include "FileReplacement.h"

namespace tessra {

namespace {

enum class LineKind { Blank, Comment, Section, Entry, Other };

constexpr std::uint32_t NoHeader = UINT32_MAX;

/// One line of the text: where it starts, how long its content is (without
/// "\n" or "\r\n"), how long its terminator is, what it is and the index of
/// the header line of the section it lies in (NoHeader above the first one).
/// Kept small: a settings file may have millions of lines.
struct Line {
    std::size_t begin = 0;
    std::size_t length = 0;
    std::uint8_t terminator = 0;
    LineKind kind = LineKind::Other;
    std::uint32_t header = NoHeader;

    std::size_t end() const { return begin + length; }
    std::size_t next() const { return begin + length + terminator; }
};

/// What a line means: its kind and, for a header or an entry, its name and
/// value without the blanks around them.
struct Meaning {
    LineKind kind = LineKind::Other;
    std::string_view name;
    std::string_view value;
};

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string lowered(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return result;
}

char folded(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (folded(a[i]) != folded(b[i]))
            return false;
    return true;
}

Meaning meaningOf(std::string_view content)
{
    Meaning line;
    std::string_view text = content;
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    if (trimmed(text).empty()) {
        line.kind = LineKind::Blank;
    } else if (text.front() == ';' || text.front() == '#') {
        line.kind = LineKind::Comment;
    } else if (text.front() == '[') {
        const std::size_t close = text.find(']');
        if (close == std::string_view::npos)
            return line; // an unterminated header means nothing
        line.kind = LineKind::Section;
        line.name = trimmed(text.substr(1, close - 1));
    } else {
        const std::size_t equals = text.find('=');
        if (equals == std::string_view::npos || trimmed(text.substr(0, equals)).empty())
            return line;
        line.kind = LineKind::Entry;
        line.name = trimmed(text.substr(0, equals));
        line.value = trimmed(text.substr(equals + 1));
    }
    return line;
}

/// Hashing and comparing names without regard to the case of ASCII letters.
struct FoldedHash {
    std::size_t operator()(std::string_view name) const
    {
        std::size_t hash = 14695981039346656037ull;
        for (char c : name)
            hash = (hash ^ static_cast<unsigned char>(folded(c))) * 1099511628211ull;
        return hash;
    }
};

struct FoldedEqual {
    bool operator()(std::string_view a, std::string_view b) const { return sameName(a, b); }
};

/// Lines of the entries of one section by key; views into the text.
using KeyIndex = std::unordered_map<std::string_view, std::size_t, FoldedHash, FoldedEqual>;

/// A key or value written into a line: a line break would start a new line.
std::string oneLine(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        if (c == '\n' || c == '\r')
            c = ' ';
    return result;
}

/// The line end to write after `written`, a last line that had none: a "\n"
/// alone would make a "\r" at its end part of the line end, so it gets
/// "\r\n" and keeps its "\r".
std::string_view lineEndAfter(std::string_view written)
{
    return !written.empty() && written.back() == '\r' ? std::string_view("\r\n")
                                                      : std::string_view("\n");
}

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

} // namespace

struct IniFile::Impl {
    std::string text;
    std::vector<Line> lines;
    /// Lower-cased section name -> its entries; each built at its first look-up.
    mutable std::unordered_map<std::string, KeyIndex> index;

    void parse()
    {
        lines.clear();
        index.clear();
        std::uint32_t header = NoHeader;
        const std::string_view all(text);
        // A byte-order mark is not part of the first line's meaning.
        // A file of the mark alone is one empty line, so the mark is written back.
        const std::size_t start = all.substr(0, 3) == ByteOrderMark ? 3 : 0;
        for (std::size_t begin = start; begin < all.size() || (start > 0 && lines.empty());) {
            Line line;
            line.begin = begin;
            std::size_t newline = all.find('\n', begin);
            std::size_t next = newline == std::string_view::npos ? all.size() : newline + 1;
            if (newline == std::string_view::npos)
                newline = all.size();
            else if (newline > begin && all[newline - 1] == '\r')
                --newline;
            line.length = newline - begin;
            line.terminator = static_cast<std::uint8_t>(next - newline);
            line.kind = meaningOf(all.substr(begin, line.length)).kind;
            if (line.kind == LineKind::Section)
                header = static_cast<std::uint32_t>(lines.size());
            line.header = header;
            lines.push_back(line);
            begin = next;
        }
        if (start > 0 && !lines.empty()) {
            lines.front().begin = 0; // the mark stays with the first line when written
            lines.front().length += start;
        }
    }

    std::string_view content(const Line& line) const
    {
        return std::string_view(text).substr(line.begin, line.length);
    }

    Meaning meaning(const Line& line) const
    {
        std::string_view view = content(line);
        if (&line == &lines.front() && view.substr(0, 3) == ByteOrderMark)
            view.remove_prefix(3);
        return meaningOf(view);
    }

    /// For every line whether it is a line (other than a header) of `section`.
    std::vector<bool> membership(std::string_view section) const
    {
        std::vector<bool> inside(lines.size(), false);
        bool current = section.empty();
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].kind == LineKind::Section)
                current = sameName(meaning(lines[i]).name, section);
            else
                inside[i] = current;
        }
        return inside;
    }

    /// The entries of `section` by key (the last line of each); built at the
    /// first look-up in that section.
    const KeyIndex& keysOf(const std::string& section) const
    {
        const std::string name = lowered(section);
        const auto found = index.find(name);
        if (found != index.end())
            return found->second;
        KeyIndex& keys = index[name];
        const std::vector<bool> inside = membership(section);
        for (std::size_t i = 0; i < lines.size(); ++i)
            if (inside[i] && lines[i].kind == LineKind::Entry)
                keys[meaning(lines[i]).name] = i;
        return keys;
    }

    /// The line terminator written after new lines placed after `line`.
    static std::string_view terminatorAfter(const Line& line)
    {
        return line.terminator == 2 ? std::string_view("\r\n") : std::string_view("\n");
    }
};

IniFile::IniFile()
    : m_impl(std::make_unique<Impl>())
{
}

IniFile::~IniFile() = default;

std::optional<std::string> IniFile::notASettingsFile(const std::string& path)
{
    struct stat info { };
    if (::stat(path.c_str(), &info) != 0 || S_ISREG(info.st_mode))
        return std::nullopt;
    if (S_ISDIR(info.st_mode))
        return "it is a folder, not a settings file";
    if (S_ISFIFO(info.st_mode))
        return "it is a FIFO (named pipe), not a settings file";
    return "it is a device or socket, not a settings file";
}

bool IniFile::load(const std::string& path, std::string* error)
{
    setText(std::string());
    const auto fail = [&](std::string why) {
        if (error)
            *error = std::move(why);
        return false;
    };
    if (const auto problem = notASettingsFile(path))
        return fail(*problem);
    // O_NONBLOCK: something put at the path after the check above must not
    // block the open; it is refused below like anything that is not a file.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return fail(errno == ENOENT ? "the file does not exist" : std::strerror(errno));
    struct stat info { };
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return fail("it is not a regular file");
    }
    std::string data;
    data.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            const int reason = errno;
            ::close(fd);
            return fail(std::strerror(reason));
        }
        if (got == 0)
            break;
        data.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    setText(std::move(data));
    return true;
}

void IniFile::setText(std::string text)
{
    m_impl->text = std::move(text);
    m_impl->parse();
}

const std::string& IniFile::text() const
{
    return m_impl->text;
}

bool IniFile::hasSection(const std::string& section) const
{
    for (const Line& line : m_impl->lines)
        if (line.kind == LineKind::Section && sameName(m_impl->meaning(line).name, section))
            return true;
    return false;
}

std::optional<std::string> IniFile::value(const std::string& section, const std::string& key) const
{
    const KeyIndex& keys = m_impl->keysOf(section);
    const auto found = keys.find(key);
    if (found == keys.end())
        return std::nullopt;
    return std::string(m_impl->meaning(m_impl->lines[found->second]).value);
}

std::vector<std::string> IniFile::keys(const std::string& section) const
{
    std::vector<std::string> result;
    std::unordered_set<std::string_view, FoldedHash, FoldedEqual> seen;
    forEachEntry(section, [&](std::string_view name, std::string_view) {
        if (seen.insert(name).second)
            result.emplace_back(name);
    });
    return result;
}

void IniFile::forEachEntry(const std::string& section,
    const std::function<void(std::string_view key, std::string_view value)>& visit) const
{
    const std::vector<bool> inside = m_impl->membership(section);
    for (std::size_t i = 0; i < m_impl->lines.size(); ++i) {
        if (!inside[i] || m_impl->lines[i].kind != LineKind::Entry)
            continue;
        const Meaning entry = m_impl->meaning(m_impl->lines[i]);
        visit(entry.name, entry.value);
    }
}

void IniFile::replaceSection(const std::string& section, const Entries& entries)
{
    setSection(section, entries, true);
}

void IniFile::updateSection(const std::string& section, const Entries& entries)
{
    setSection(section, entries, false);
}

void IniFile::setSection(const std::string& section, const Entries& entries, bool replace)
{
    const Impl& doc = *m_impl;
    std::unordered_map<std::string, std::size_t> wanted; // lower-cased key -> entry
    for (std::size_t i = 0; i < entries.size(); ++i)
        wanted.emplace(lowered(entries[i].first), i);

    // Where new keys go: after the last entry of the section's first
    // appearance, else after its header (for the section "", at the top);
    // keys present anywhere in the section are rewritten where they are.
    constexpr std::size_t None = std::string_view::npos;
    bool exists = section.empty();
    std::uint32_t first = NoHeader;
    for (std::size_t i = 0; i < doc.lines.size() && !exists; ++i)
        if (doc.lines[i].kind == LineKind::Section
            && sameName(doc.meaning(doc.lines[i]).name, section)) {
            first = static_cast<std::uint32_t>(i);
            exists = true;
        }
    std::size_t anchor = first == NoHeader ? None : first;
    std::vector<bool> present(entries.size(), false);
    const std::vector<bool> inside = doc.membership(section);
    for (std::size_t i = 0; i < doc.lines.size(); ++i) {
        const Line& line = doc.lines[i];
        if (line.kind != LineKind::Entry || !inside[i])
            continue;
        if (line.header == first)
            anchor = i;
        const auto found = wanted.find(lowered(doc.meaning(line).name));
        if (found != wanted.end())
            present[found->second] = true;
    }

    const std::string_view all(doc.text);
    std::string out;
    out.reserve(all.size() + 64 * entries.size());
    std::vector<bool> written(entries.size(), false);
    // An entry written where it would start the file with the bytes of a
    // byte-order mark would read as though they were one, and lose them (a
    // file's own mark stays in front of everything): a blank in front keeps
    // its key what it is.
    const auto startLine = [&out](std::string_view line) {
        if (out.empty() && line.substr(0, ByteOrderMark.size()) == ByteOrderMark)
            out.push_back(' ');
    };
    const auto addMissing = [&](std::string_view terminator) {
        for (std::size_t e = 0; e < entries.size(); ++e)
            if (!present[e]) {
                const std::string key = oneLine(entries[e].first);
                startLine(key);
                out.append(key).append("=").append(oneLine(entries[e].second)).append(terminator);
            }
    };
    // A byte-order mark stays at the start of the file, before entries added
    // at the top and before a first line that is rewritten.
    const std::size_t mark = all.substr(0, 3) == ByteOrderMark ? ByteOrderMark.size() : 0;
    out.append(all.substr(0, mark));
    if (exists && anchor == None)
        addMissing("\n");
    for (std::size_t i = 0; i < doc.lines.size(); ++i) {
        const Line& line = doc.lines[i];
        const std::size_t begin = i == 0 ? line.begin + mark : line.begin;
        const std::string_view raw = all.substr(begin, line.next() - begin);
        const std::string_view terminator = all.substr(line.end(), line.terminator);
        bool keep = true;
        if (line.kind == LineKind::Entry && inside[i]) {
            const std::string_view name = doc.meaning(line).name;
            const auto found = wanted.find(lowered(name));
            if (found == wanted.end()) {
                keep = !replace;
            } else {
                keep = false;
                const std::size_t e = found->second;
                if (!written[e]) { // later lines of the same key would win on reading
                    written[e] = true;
                    // The file's own spelling came from one line: it is
                    // written back as it is, a carriage return in it too.
                    const std::string key = replace ? oneLine(entries[e].first) : std::string(name);
                    startLine(key);
                    out.append(key).append("=").append(oneLine(entries[e].second));
                    out.append(terminator.empty() ? std::string_view("\n") : terminator);
                }
            }
        }
        if (keep) {
            out.append(raw);
            if (i == anchor && terminator.empty())
                out.append(lineEndAfter(raw));
        }
        if (i == anchor)
            addMissing(doc.terminatorAfter(line));
    }
    if (!exists) {
        if (!out.empty() && out.back() != '\n')
            out.append(lineEndAfter(out));
        if (!doc.lines.empty() && doc.lines.back().kind != LineKind::Blank)
            out.append("\n");
        out.append("[").append(oneLine(section)).append("]\n");
        addMissing("\n");
    }
    setText(std::move(out));
}

bool IniFile::save(const std::string& path, std::string* error) const
{
    return replaceFileContent(path, m_impl->text, error);
}

} // namespace tessra
