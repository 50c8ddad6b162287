// Help table, help pages and document opening: which file each help command
// opens, and what the user is told when it cannot be opened. The desktop's
// opener is replaced by a recorder, so no viewer starts.
#include "AutomationDispatcher.h"
#include "AutomationServer.h"
#include "CommandError.h"
#include "DocumentOpener.h"
#include "HelpPages.h"
#include "HelpTable.h"
#include "TestPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace tessra {
namespace {

QString message(const std::function<void()>& command)
{
    try {
        command();
    } catch (const CommandError& error) {
        return error.message();
    }
    return QStringLiteral("(no error)");
}

class HelpTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setDocumentOpener([this](const QUrl& url) {
            m_opened.append(url);
            return m_desktopAccepts;
        });
    }
    void TearDown() override
    {
        setDocumentOpener({});
        setHelpLookup({});
    }

    static QString binFolder() { return QCoreApplication::applicationDirPath() + QLatin1Char('/'); }

    QList<QUrl> m_opened;
    bool m_desktopAccepts = true;
};

TEST_F(HelpTest, table_holds_the_fixed_entries_sorted_and_finds_them_in_any_case)
{
    const HelpTable table;
    EXPECT_EQ(table.value(QStringLiteral("FMAIN")), QStringLiteral("help/index.html"));
    EXPECT_EQ(table.value(QStringLiteral("dnew")), QStringLiteral("help/new.html"));
    EXPECT_EQ(table.value(QStringLiteral("fTimeSeries")), QStringLiteral("help/timeseries.html"));
    EXPECT_EQ(table.value(QStringLiteral("fInspect")), QStringLiteral("help/inspect.html"));
    EXPECT_EQ(table.value(QStringLiteral("model")), QStringLiteral("help/index.html"));
    EXPECT_EQ(table.value(QStringLiteral("fStop")), QString());

    const QStringList names = [&] {
        QStringList list;
        for (const QString& entry : table.entries())
            list.append(entry.section(QLatin1Char('='), 0, 0));
        return list;
    }();
    EXPECT_EQ(names,
        (QStringList { "dNew", "fInspect", "fMain", "fTimeSeries", "Model", "ModelFolder" }));
}

TEST_F(HelpTest, model_folder_starts_as_current_folder_and_follows_each_model_load)
{
    HelpTable table;
    EXPECT_EQ(table.modelFolder(), QDir::currentPath() + QLatin1Char('/'));

    table.setModelFile(QStringLiteral("/opt/Models/Life/model.so"));
    EXPECT_EQ(table.modelFolder(), QStringLiteral("/opt/Models/Life/"));
    table.setValue(QStringLiteral("MODELFOLDER"), QStringLiteral("/x/"));
    EXPECT_EQ(table.entries().count(), 6) << "a name in other case replaces the entry";
    EXPECT_EQ(table.modelFolder(), QStringLiteral("/x/"));
}

TEST_F(HelpTest, program_help_commands_open_existing_pages_beside_the_program)
{
    for (const char* key : { "fMain", "dNew", "fTimeSeries", "fInspect" }) {
        m_opened.clear();
        openHelpPage(QString::fromLatin1(key));
        ASSERT_EQ(m_opened.size(), 1) << key;
        const QString file = m_opened.front().toLocalFile();
        EXPECT_TRUE(file.startsWith(binFolder() + QStringLiteral("help/"))) << key;
        EXPECT_TRUE(QFileInfo::exists(file)) << "no help page " << file.toStdString();
    }
}

TEST_F(HelpTest, installed_program_reads_its_help_from_the_data_folder)
{
    QTemporaryDir dir;
    const QString bin = dir.path() + QStringLiteral("/bin/");
    const QString data = dir.path() + QStringLiteral("/share/tessra/");
    ASSERT_TRUE(QDir().mkpath(bin));
    EXPECT_EQ(programHelpFolder(bin), bin) << "no help anywhere: a missing page beside the program";
    ASSERT_TRUE(QDir().mkpath(data + QStringLiteral("help")));
    EXPECT_EQ(programHelpFolder(bin), data);
    ASSERT_TRUE(QDir().mkpath(bin + QStringLiteral("help")));
    EXPECT_EQ(programHelpFolder(bin), bin) << "help beside the program, as in a build tree, first";
    EXPECT_EQ(programHelpFolder(binFolder()), binFolder());
}

TEST_F(HelpTest, model_help_opens_the_page_in_the_loaded_models_folder)
{
    HelpTable table;
    table.setModelFile(QString::fromStdString(test::exampleModel("life")));
    setHelpLookup(helpLookup(table));

    openHelpPage(QStringLiteral("Model"), true);

    ASSERT_EQ(m_opened.size(), 1);
    EXPECT_EQ(m_opened.front().toLocalFile(),
        QString::fromStdString(test::exampleFolder("life")) + QStringLiteral("/help/index.html"));
    m_opened.clear();
    openHelpPage(QStringLiteral("fMain"));
    EXPECT_EQ(m_opened.front().toLocalFile(), binFolder() + QStringLiteral("help/index.html"))
        << "program help stays beside the program while a model is loaded";
}

TEST_F(HelpTest, missing_page_names_the_full_path_as_it_is)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/Models/Life");
    ASSERT_TRUE(QDir().mkpath(folder));
    HelpTable table;
    table.setModelFile(folder + QStringLiteral("/model.so"));
    setHelpLookup(helpLookup(table));

    EXPECT_EQ(message([] { openHelpPage(QStringLiteral("Model"), true); }),
        QStringLiteral("Cannot open file\n") + folder + QStringLiteral("/help/index.html"));
    EXPECT_TRUE(m_opened.isEmpty()) << "a missing file never reaches the desktop";
}

TEST_F(HelpTest, key_the_table_lacks_opens_the_bare_folder)
{
    openHelpPage(QStringLiteral("fStop"));
    ASSERT_EQ(m_opened.size(), 1);
    EXPECT_EQ(QDir(m_opened.front().toLocalFile()), QDir(binFolder()));
}

TEST_F(HelpTest, empty_target_is_refused_before_the_desktop_is_asked)
{
    EXPECT_EQ(message([] { openDocument(QString()); }), QStringLiteral("No file to open"));

    setHelpLookup([](const QString&) { return QString(); });
    EXPECT_EQ(message([] { openHelpPage(QStringLiteral("Model"), true); }),
        QStringLiteral("No file to open"));
    EXPECT_TRUE(m_opened.isEmpty());
}

TEST_F(HelpTest, desktop_refusing_a_file_reports_cannot_open)
{
    m_desktopAccepts = false;
    const QString page = binFolder() + QStringLiteral("help/index.html");
    EXPECT_EQ(message([&] { openDocument(page); }), QStringLiteral("Cannot open file\n") + page);
    EXPECT_EQ(m_opened.size(), 1);
}

TEST_F(HelpTest, web_addresses_and_relative_files_reach_the_desktop)
{
    openDocument(QStringLiteral("https://tessra.org/help?page=1"));
    openDocument(QStringLiteral("www.example.org"));
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("notes.txt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    openDocument(QStringLiteral("notes.txt"));
    QDir::setCurrent(previous);

    ASSERT_EQ(m_opened.size(), 3);
    EXPECT_EQ(m_opened[0], QUrl(QStringLiteral("https://tessra.org/help?page=1")));
    EXPECT_EQ(m_opened[1].host(), QStringLiteral("www.example.org"));
    EXPECT_EQ(QFileInfo(m_opened[2].toLocalFile()), QFileInfo(file.fileName()));
}

TEST_F(HelpTest, links_open_without_checks_and_never_throw)
{
    m_desktopAccepts = false;
    openLink(QStringLiteral("/no/such/file.html"));
    openLink(QString());
    ASSERT_EQ(m_opened.size(), 1);
    EXPECT_EQ(m_opened.front().toLocalFile(), QStringLiteral("/no/such/file.html"));
}

// The scripting page is the user's reference for the automation object:
// every method and every error a script can meet must be on it.
TEST(HelpPagesTest, scripting_page_names_every_automation_method_and_error)
{
    QFile file(QCoreApplication::applicationDirPath() + QStringLiteral("/help/scripting.html"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    const QString page = QString::fromUtf8(file.readAll());
    const auto named = [&](const QString& name) {
        return page.contains(QStringLiteral("<code>") + name + QStringLiteral("</code>"));
    };

    QStringList names { QStringLiteral("Invoke"), QStringLiteral("Release") };
    for (const AutomationMethod& method : AutomationDispatcher::methods())
        names.append(method.name);
    for (const QString& name : names)
        EXPECT_TRUE(named(name)) << name.toStdString();

    for (const auto kind : { AutomationErrorKind::UnknownName, AutomationErrorKind::MemberNotFound,
             AutomationErrorKind::BadParamCount, AutomationErrorKind::ParamNotOptional,
             AutomationErrorKind::TypeMismatch, AutomationErrorKind::Exception })
        EXPECT_TRUE(named(automationErrorName(kind))) << automationErrorName(kind).toStdString();
    EXPECT_TRUE(named(QString::fromLatin1(AutomationServer::AccessDeniedError)));
}

} // namespace
} // namespace tessra
