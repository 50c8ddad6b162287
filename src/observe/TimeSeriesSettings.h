#pragma once

#include <QString>

namespace tessra {

class SeriesTable;

/// The "Time Series" section of a settings file: the labels of the listed
/// series, so that loading the settings brings back the same graph.
///
///     [Time Series]
///     Count=2
///     0=Average density
///     1=growth
///
/// Every other section, key and comment of the file is left as it is.
class TimeSeriesSettings {
public:
    /// The section's name.
    static const char* const Section;

    /// Writes "Count" and the keys "0" to Count - 1 with the labels in list
    /// order. Keys of an earlier, longer list stay in the file (they are not
    /// read back); every line outside the section stays byte for byte. The
    /// file is replaced atomically (see IniFile::save()). Throws CommandError
    /// starting with "Error opening .ini file in saveTimeSeries()" and, but
    /// for an empty name, going on with the file and the reason when the
    /// file cannot be read or written; nothing is changed then.
    static void saveTimeSeries(const SeriesTable& table, const QString& fileName);

    /// Writes the model's parameter entries (as the model API library lays
    /// them out) and the section above into the file in one atomic
    /// replacement: the file holds either all the old settings or all the
    /// new ones. Fails as saveTimeSeries() does, and with "No model loaded".
    static void saveSettingsFile(const SeriesTable& table, const QString& fileName);

    /// Removes every series, then adds the series the file lists, in its
    /// order. A label that is exactly a parameter name is that Parameter
    /// series (the last parameter of that name); otherwise the first
    /// operation whose name begins the label is taken, that name and the one
    /// character after it are dropped, and the rest must be exactly a state
    /// name (the last state of that name). Matching is case-sensitive.
    /// Entries that match nothing are skipped silently; a missing file or
    /// section leaves no series.
    ///
    /// Throws CommandError with "Error opening .ini file in loadTimeSeries()"
    /// when the file exists but cannot be read (the series are already
    /// removed then). An entry the table refuses (a pair listed twice, a
    /// seventeenth series) ends the restore with the table's error; the
    /// entries before it stay added.
    static void loadTimeSeries(SeriesTable& table, const QString& fileName);
};

} // namespace tessra
