// Reading and updating a settings (INI) file with IniFile, the one reader and
// writer of the model library and the front end.
//
// Properties: the document keeps the bytes it was given; every section and
// key reads as the documented rules read them (compared with an independent
// reading); loading the file gives what taking its text gives; updating or
// replacing one section changes no line outside it and leaves that section
// holding exactly the entries written (replace) or those plus the others it
// had (update).

#include "FuzzSupport.h"
#include "IniFile.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>

using namespace tessra;
using namespace tessra::fuzz;

namespace {

using Reading = std::map<std::pair<std::string, std::string>, std::string>;

Reading reading(std::string_view text)
{
    Reading out;
    for (const ReferenceEntry& entry : referenceEntries(text))
        out[{ entry.section, entry.key }] = entry.value;
    return out;
}

void checkReads(const IniFile& file, const Reading& expected, const std::string& where)
{
    std::map<std::string, std::set<std::string>> keysBySection;
    for (const auto& [place, value] : expected) {
        const auto& [section, key] = place;
        keysBySection[section].insert(key);
        const std::optional<std::string> read = file.value(section, key);
        check(read == value,
            where + ": [" + section + "] " + escaped(key) + " reads as "
                + (read ? escaped(*read) : std::string("nothing")) + ", expected " + escaped(value)
                + " in " + escaped(file.text()));
    }
    for (const auto& [section, keys] : keysBySection) {
        std::set<std::string> listed;
        for (const std::string& key : file.keys(section))
            check(listed.insert(folded(key)).second, where + ": key listed twice: " + key);
        check(listed == keys, where + ": keys of [" + section + "] differ");
    }
    check(!file.value("no such section \x01", "key"), where + ": a missing section has a key");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const Reading expected = reading(text);

    IniFile file;
    file.setText(text);
    check(file.text() == text, "the document changed the text it was given");
    checkReads(file, expected, "read");

    writeFile(scratchFile(), text);
    IniFile loaded;
    check(loaded.load(scratchFile()), "the file could not be loaded");
    check(loaded.text() == text, "loading gave another text than the file's");

    // Rewrite the section of the first entry (or a new one): one of its keys
    // changes, one is added.
    std::string section = "Fuzz";
    std::string key = "key";
    if (!expected.empty()) {
        section = expected.begin()->first.first;
        key = expected.begin()->first.second;
    }
    // Each key once: a key given twice in one update is no update a caller makes.
    const std::string added = folded(key) == "added key" ? "other key" : "added key";
    IniFile::Entries entries = { { key, "new value" }, { added, "1.5" } };

    file.updateSection(section, entries);
    checkOnlySectionChanged(text, file.text(), section);
    Reading updated = expected;
    updated[{ folded(section), folded(key) }] = "new value";
    updated[{ folded(section), added }] = "1.5";
    check(reading(file.text()) == updated, "update: " + escaped(file.text()));
    checkReads(file, updated, "updated");

    // A key the caller gives is written on one line: a line break in it
    // becomes a blank, so only a key without one reads back as given.
    if (key.find('\r') != std::string::npos) {
        key = "key";
        entries = { { key, "new value" }, { added, "1.5" } };
    }
    // Replacing the entries above the first header removes the lines before
    // a byte-order mark further down, which then starts the file and is read
    // as one: a file no editor writes.
    if (section.empty() && text.find("\xEF\xBB\xBF", 1) != std::string::npos)
        return 0;
    loaded.replaceSection(section, entries);
    checkOnlySectionChanged(text, loaded.text(), section);
    Reading replaced;
    for (const auto& [place, value] : expected)
        if (place.first != folded(section))
            replaced[place] = value;
    replaced[{ folded(section), folded(key) }] = "new value";
    replaced[{ folded(section), added }] = "1.5";
    check(reading(loaded.text()) == replaced, "replace: " + escaped(loaded.text()));
    return 0;
}
