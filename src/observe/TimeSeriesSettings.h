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
    /// read back). Throws CommandError with "Error opening .ini file in
    /// saveTimeSeries()" when the file cannot be read or written.
    static void saveTimeSeries(const SeriesTable& table, const QString& fileName);

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
