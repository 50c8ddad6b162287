#pragma once

#include <QString>

#include <cstdio>
#include <functional>

namespace tessra {

class SeriesTable;

/// The user's answer to "Append data to existing file?".
enum class AppendAnswer { Yes, No, Cancel };

/// Asks whether to append to the existing file `fileName` (the window shows
/// the "File Exists" box; a headless caller answers for itself).
using AppendQuestion = std::function<AppendAnswer(const QString& fileName)>;

/// Writes the recorded series to a tab-separated text file: a commented
/// header (program, model, date, parameters, columns), then one row per
/// recorded tick with one column per series in slot order, "-" where a series
/// has no sample at that tick. Values are written as "%lg" writes them in
/// the C locale, whatever the user's locale; ticks likewise, with more digits
/// where six would not read back to the same tick (1000001).
class TimeSeriesExport {
public:
    /// Append modes of an export.
    static constexpr int AskToAppend = -1;
    static constexpr int Overwrite = 0;
    static constexpr int Append = 1;

    /// Opens the export file: an existing file is appended to when `appendMode`
    /// is Append, overwritten for any mode but Append and AskToAppend, and for
    /// AskToAppend `ask` decides (Yes appends, No overwrites, Cancel opens
    /// nothing; without a question it appends, so nothing is lost). A missing
    /// file is created. Returns null when nothing was opened; when the file
    /// failed to open, `failure` (if given) receives the system's reason. The
    /// caller closes the file.
    static std::FILE* openExportFile(const QString& fileName, int appendMode,
        const AppendQuestion& ask, QString* failure = nullptr);

    /// Writes one block for the series of `table` to `fileName`. Rows whose
    /// tick is below `fromTick`, or above `toTick` when `toTick` is not
    /// negative, are left out (-1.0 and -1.0 write every row).
    ///
    /// Throws CommandError with "No data series to export!" when no series is
    /// listed (no file is touched and nothing is asked), with "No data
    /// recorded." when the question was cancelled or no name was given, with
    /// "Cannot write the file <file>: <reason>" when the file failed to open
    /// and with "Error closing file <file>: <reason>" when writing or closing
    /// it failed. Parameter labels are written as plain text, without markup.
    /// Series without samples are no failure: the block then ends after its
    /// header.
    static void exportTimeSeries(const SeriesTable& table, const QString& fileName, int appendMode,
        double fromTick, double toTick, const AppendQuestion& ask);
};

} // namespace tessra
