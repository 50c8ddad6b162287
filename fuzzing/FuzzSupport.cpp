#include "FuzzSupport.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include <stdlib.h>
#include <unistd.h>

namespace tessra::fuzz {

namespace {

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

struct Scratch {
    std::string folder;
    std::string file;
    Scratch()
    {
        // Memory-backed when the system has it: the harnesses write a file
        // for every input.
        const char* base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::string pattern = std::string(base) + "/tessra-fuzz-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            fail("cannot make a scratch folder");
        folder = pattern;
        file = folder + "/settings.ini";
    }
    ~Scratch()
    {
        ::unlink(file.c_str());
        ::rmdir(folder.c_str());
    }
};

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

/// A byte-order mark at the start of the file is no part of the first line.
LineMeaning meaningAt(const std::vector<std::string_view>& all, std::size_t i)
{
    std::string_view line = all[i];
    if (i == 0 && line.substr(0, 3) == ByteOrderMark)
        line.remove_prefix(3);
    return meaningOf(line);
}

} // namespace

std::string escaped(std::string_view text)
{
    std::string out = "\"";
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f || c == '"' || c == '\\') {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

const std::string& scratchFile()
{
    static const Scratch scratch;
    return scratch.file;
}

void writeFile(const std::string& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        fail("cannot write " + path);
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string folded(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::vector<std::string_view> lines(std::string_view text)
{
    std::vector<std::string_view> out;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (end != std::string_view::npos && !line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        out.push_back(line);
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return out;
}

LineMeaning meaningOf(std::string_view line)
{
    LineMeaning meaning;
    std::string_view text = line;
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    if (text.empty()) {
        meaning.kind = LineKind::Blank;
    } else if (text.front() == ';' || text.front() == '#') {
        meaning.kind = LineKind::Comment;
    } else if (text.front() == '[') {
        const std::size_t close = text.find(']');
        if (close != std::string_view::npos) {
            meaning.kind = LineKind::Section;
            meaning.name = trimmed(text.substr(1, close - 1));
        }
    } else if (const std::size_t equals = text.find('='); equals != std::string_view::npos) {
        const std::string_view key = trimmed(text.substr(0, equals));
        if (!key.empty()) {
            meaning.kind = LineKind::Entry;
            meaning.name = key;
            meaning.value = trimmed(text.substr(equals + 1));
        }
    }
    return meaning;
}

std::vector<ReferenceEntry> referenceEntries(std::string_view text)
{
    std::map<std::pair<std::string, std::string>, std::string> last;
    std::string section;
    const std::vector<std::string_view> all = lines(text);
    for (std::size_t i = 0; i < all.size(); ++i) {
        const LineMeaning meaning = meaningAt(all, i);
        if (meaning.kind == LineKind::Section)
            section = folded(meaning.name);
        else if (meaning.kind == LineKind::Entry)
            last[{ section, folded(meaning.name) }] = meaning.value;
    }
    std::vector<ReferenceEntry> out;
    for (const auto& [where, value] : last)
        out.push_back({ where.first, where.second, value });
    return out;
}

std::vector<std::string> linesOutside(std::string_view text, std::string_view section)
{
    const std::string wanted = folded(section);
    std::vector<std::string> out;
    bool inside = wanted.empty();
    const std::vector<std::string_view> all = lines(text);
    for (std::size_t i = 0; i < all.size(); ++i) {
        std::string_view line = all[i];
        if (i == 0 && line.substr(0, 3) == ByteOrderMark)
            line.remove_prefix(3);
        const LineMeaning meaning = meaningAt(all, i);
        if (meaning.kind == LineKind::Section) {
            inside = folded(meaning.name) == wanted;
            if (inside)
                continue;
        } else if (inside && meaning.kind == LineKind::Entry) {
            continue;
        }
        out.emplace_back(line);
    }
    return out;
}

void checkOnlySectionChanged(
    std::string_view before, std::string_view after, std::string_view section)
{
    check(before.substr(0, 3) != ByteOrderMark || after.substr(0, 3) == ByteOrderMark,
        "writing [" + std::string(section) + "] moved the byte-order mark: " + escaped(after));
    const std::vector<std::string> kept = linesOutside(before, section);
    const std::vector<std::string> now = linesOutside(after, section);
    if (kept == now)
        return;
    // A section the file lacked is added at its end after a blank line.
    if (now.size() == kept.size() + 1 && now.back().empty()
        && std::equal(kept.begin(), kept.end(), now.begin()))
        return;
    std::ostringstream message;
    message << "writing [" << section << "] changed other lines\nbefore: " << escaped(before)
            << "\nafter:  " << escaped(after);
    fail(message.str());
}

} // namespace tessra::fuzz
