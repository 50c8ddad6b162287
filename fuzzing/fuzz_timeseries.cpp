// The "Time Series" section of a settings file, restored into the series
// table of a real model (the forest-fire example) and saved again.
//
// Properties: a restore lists at most 16 series, each once; saving them and
// restoring the saved file gives the same series in the same order; saving
// changes no line outside the section (no key of another section, no
// comment, no line the reader does not understand).

#include "CommandError.h"
#include "FuzzSupport.h"
#include "ModelApi.h"
#include "SeriesTable.h"
#include "TimeSeriesSettings.h"

#include <cstdint>
#include <string>

using namespace tessra;
using namespace tessra::fuzz;

namespace {

SeriesTable& table()
{
    static SeriesTable* series = [] {
        const ModelApi model;
        model.loadModel(TESSRA_FUZZ_MODEL);
        if (const std::optional<std::string> error = model.loadModelError())
            fail("the model does not load: " + *error);
        return new SeriesTable(model);
    }();
    return *series;
}

QStringList restored(const QString& path, const std::string& what)
{
    try {
        TimeSeriesSettings::loadTimeSeries(table(), path);
    } catch (const CommandError& error) {
        // A refused entry ends the restore early; the file itself was read.
        check(!error.message().startsWith("Error opening"),
            what + ": " + error.message().toStdString());
    }
    return table().labels();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const QString path = QString::fromStdString(scratchFile());
    writeFile(scratchFile(), text);

    const QStringList labels = restored(path, "restore");
    check(labels.size() <= SeriesTable::SlotCount, "more than 16 series");
    for (const QString& label : labels)
        check(labels.count(label) == 1, "series listed twice: " + label.toStdString());

    TimeSeriesSettings::saveTimeSeries(table(), path);
    const std::string saved = readFile(scratchFile());
    checkOnlySectionChanged(text, saved, TimeSeriesSettings::Section);

    const QStringList again = restored(path, "restore of the saved file");
    check(again == labels,
        "saved series " + labels.join('|').toStdString() + " restore as "
            + again.join('|').toStdString() + " from " + escaped(saved));
    return 0;
}
