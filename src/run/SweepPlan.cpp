#include "SweepPlan.h"

#include "IniFile.h"
#include "RunError.h"
#include "TextNumbers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <charconv>
#include <cmath>

namespace tessra {

namespace {

const char* const Section = "Sweep";
const QStringList Reserved { "Model", "Ticks", "Stop", "Output", "Replications", "SeedParameter",
    "Timeout" };

// Digits after the decimal point of a plain number ("0.25": 2); nothing for the
// exponent form, whose steps are not rounded.
std::optional<int> decimals(const QString& text)
{
    const QString t = text.trimmed();
    if (t.contains(u'e', Qt::CaseInsensitive))
        return std::nullopt;
    const qsizetype dot = t.indexOf(u'.');
    return dot < 0 ? 0 : static_cast<int>(t.size() - dot - 1);
}

std::vector<double> readRange(const QString& key, const QString& text)
{
    const QStringList parts = text.split(u':');
    std::optional<double> numbers[3];
    for (int i = 0; i < 3; ++i)
        numbers[i] = readFileNumber(parts[i]);
    if (!numbers[0] || !numbers[1] || !numbers[2])
        bad(QStringLiteral("%1=%2: a range is first:last:step, three numbers with \".\"")
                .arg(key, text));
    const double first = *numbers[0];
    const double last = *numbers[1];
    const double step = *numbers[2];
    if (step == 0 || (last - first) / step < 0)
        bad(QStringLiteral("%1=%2: the step never leads from %3 to %4")
                .arg(key, text, parts[0].trimmed(), parts[1].trimmed()));
    const double steps = std::floor((last - first) / step + 1e-9);
    if (steps >= static_cast<double>(SweepPlan::MaxRuns))
        bad(QStringLiteral("%1=%2: too many values").arg(key, text));
    // Values are rounded to the decimals written, so 0.1:0.5:0.1 gives 0.3, not
    // 0.30000000000000004.
    std::optional<int> digits = 0;
    for (const QString& part : parts) {
        const std::optional<int> d = decimals(part);
        digits = d && digits ? std::optional<int>(std::max(*d, *digits)) : std::nullopt;
    }
    std::vector<double> values;
    for (qint64 i = 0; i <= static_cast<qint64>(steps); ++i) {
        double value = first + static_cast<double>(i) * step;
        if (digits && *digits <= 15) {
            const std::string rounded = QString::number(value, 'f', *digits).toStdString();
            std::from_chars(rounded.data(), rounded.data() + rounded.size(), value);
        }
        values.push_back(value);
    }
    return values;
}

QString absoluteBeside(const QString& file, const QString& path)
{
    return QDir::cleanPath(QFileInfo(file).absoluteDir().absoluteFilePath(path));
}

} // namespace

std::vector<double> SweepPlan::readValues(const QString& key, const QString& text)
{
    if (text.count(u':') == 2)
        return readRange(key, text);
    if (text.contains(u':'))
        bad(QStringLiteral("%1=%2: a range is first:last:step").arg(key, text));
    std::vector<double> values;
    for (const QString& item : text.split(u',')) {
        const std::optional<double> value = readFileNumber(item);
        if (!value)
            bad(QStringLiteral("%1=%2: \"%3\" is not a number (write numbers with \".\", "
                               "separated by \",\")")
                    .arg(key, text, item.trimmed()));
        values.push_back(*value);
    }
    return values;
}

SweepPlan SweepPlan::read(const QString& file)
{
    const QFileInfo info(file);
    if (!info.exists())
        bad(QStringLiteral("no sweep file \"%1\"").arg(file));
    if (!info.isFile())
        bad(QStringLiteral("the sweep file \"%1\" is not a file").arg(file));
    IniFile ini;
    if (!ini.load(QFile::encodeName(file).toStdString()) || !ini.hasSection(Section))
        bad(QStringLiteral("%1 has no [Sweep] section").arg(file));
    SweepPlan plan;
    plan.m_file = info.absoluteFilePath();
    const auto value = [&](const char* key) -> std::optional<QString> {
        const auto text = ini.value(Section, key);
        return text ? std::optional<QString>(QString::fromStdString(*text).trimmed())
                    : std::nullopt;
    };
    const auto where = [&](const QString& message) { bad(file + ": " + message); };

    const std::optional<QString> model = value("Model");
    if (!model || model->isEmpty())
        where(QStringLiteral("[Sweep] needs Model= (the model library)"));
    plan.m_model = absoluteBeside(plan.m_file, *model);
    if (const auto ticks = value("Ticks")) {
        plan.m_ticks = readFileNumber(*ticks);
        if (!plan.m_ticks || *plan.m_ticks < 0)
            where("Ticks=" + *ticks + " is not a number of ticks");
    }
    plan.m_stop = value("Stop").value_or(QString());
    if (!plan.m_ticks && plan.m_stop.isEmpty())
        where(QStringLiteral("[Sweep] needs Ticks= or Stop=, or the runs would never end"));
    plan.m_output = absoluteBeside(plan.m_file,
        value("Output").value_or(QString()).isEmpty() ? QStringLiteral("results")
                                                      : *value("Output"));
    if (const auto replications = value("Replications")) {
        const std::optional<double> n = readFileNumber(*replications);
        if (!n || *n < 1 || *n != std::floor(*n) || *n > static_cast<double>(MaxRuns))
            where("Replications=" + *replications + " is not a number of runs");
        plan.m_replications = static_cast<int>(*n);
    }
    plan.m_seedParameter = value("SeedParameter").value_or(QString());
    if (plan.m_replications > 1 && plan.m_seedParameter.isEmpty())
        where(QStringLiteral("Replications needs SeedParameter= (the parameter they vary), or "
                             "every replication would be the same run"));
    if (const auto timeout = value("Timeout")) {
        plan.m_timeout = readFileNumber(*timeout);
        if (!plan.m_timeout || *plan.m_timeout <= 0)
            where("Timeout=" + *timeout + " is not a number of seconds");
    }
    for (const std::string& key : ini.keys(Section)) {
        const QString name = QString::fromStdString(key).trimmed();
        if (Reserved.contains(name, Qt::CaseInsensitive))
            continue;
        plan.m_keys.push_back({ name, readValues(name, *value(key.c_str())) });
    }
    double runs = plan.m_replications;
    for (const Key& key : plan.m_keys)
        runs *= static_cast<double>(key.values.size());
    if (runs > static_cast<double>(MaxRuns))
        where(QStringLiteral("%1 runs are too many (at most %2)").arg(runs).arg(MaxRuns));
    return plan;
}

qint64 SweepPlan::runCount() const
{
    qint64 runs = m_replications;
    for (const Key& key : m_keys)
        runs *= static_cast<qint64>(key.values.size());
    return runs;
}

std::vector<double> SweepPlan::keyValues(qint64 run) const
{
    std::vector<double> values(m_keys.size());
    qint64 combination = run / m_replications;
    for (std::size_t k = m_keys.size(); k-- > 0;) {
        const auto count = static_cast<qint64>(m_keys[k].values.size());
        values[k] = m_keys[k].values[static_cast<std::size_t>(combination % count)];
        combination /= count;
    }
    return values;
}

QString SweepPlan::runFileName(qint64 run)
{
    return QStringLiteral("run-%1.tsv").arg(run, 5, 10, QLatin1Char('0'));
}

QString SweepPlan::runFile(qint64 run) const
{
    return m_output + u'/' + runFileName(run);
}

} // namespace tessra
