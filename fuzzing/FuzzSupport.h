#pragma once

// What the harnesses share: a property that does not hold aborts with a
// message (libFuzzer then keeps the input as a crash file), a scratch folder
// for the files a parser reads, and an independent reading of settings-file
// lines by the rules IniFile documents, to compare the program's reading with.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace tessra::fuzz {

[[noreturn]] inline void fail(const std::string& what)
{
    std::fprintf(stderr, "\nproperty does not hold: %s\n", what.c_str());
    std::fflush(stderr);
    std::abort();
}

inline void check(bool holds, const std::string& what)
{
    if (!holds)
        fail(what);
}

/// A text shown with its control characters escaped, for messages.
std::string escaped(std::string_view text);

/// A file in a folder of its own in memory (/dev/shm) or under /tmp, removed when
/// the process ends. The same path on every call.
const std::string& scratchFile();
/// Writes `bytes` as the whole content of `path`.
void writeFile(const std::string& path, std::string_view bytes);
/// The whole content of `path` (empty when it cannot be read).
std::string readFile(const std::string& path);

/// ASCII letters folded to lower case.
std::string folded(std::string_view text);

/// One line of a settings file as IniFile documents them: the text up to a
/// "\n" (a "\r" just before it excluded). A byte-order mark starting the
/// file stays in the first line but is no part of its meaning.
std::vector<std::string_view> lines(std::string_view text);

enum class LineKind { Blank, Comment, Section, Entry, Other };

struct LineMeaning {
    LineKind kind = LineKind::Other;
    std::string name; ///< section or key, blanks around it dropped
    std::string value; ///< of an entry, blanks around it dropped
};

/// What one line means by the documented rules.
LineMeaning meaningOf(std::string_view line);

/// The entries of a settings text as the documented rules read them: for each
/// section (folded name) the keys (folded) with the last value given.
struct ReferenceEntry {
    std::string section; ///< folded
    std::string key; ///< folded
    std::string value;
};
std::vector<ReferenceEntry> referenceEntries(std::string_view text);

/// The lines of `text` but the entry and header lines of the sections named
/// `section` (any case): what a writer of that section must leave alone. A
/// byte-order mark starting the file is left out.
std::vector<std::string> linesOutside(std::string_view text, std::string_view section);

/// Checks that writing `section` changed no other line: the lines outside it
/// in `before` and `after` are the same, in the same order (a blank line
/// before a section added at the end aside), and a byte-order mark starting
/// the file still starts it.
void checkOnlySectionChanged(
    std::string_view before, std::string_view after, std::string_view section);

} // namespace tessra::fuzz
