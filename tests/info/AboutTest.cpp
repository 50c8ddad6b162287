// The about windows against real model libraries: what each line shows, that
// the model's texts follow the loaded model, and where the links lead.
#include "DocumentOpener.h"
#include "ModelApi.h"
#include "ProjectInfo.h"
#include "TestPaths.h"
#include "TfAboutModel.h"
#include "TfAboutTool.h"

#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

namespace tessra {
namespace {

QString labelText(const QWidget& window, const char* name)
{
    const auto* label = window.findChild<QLabel*>(QString::fromLatin1(name));
    return label ? label->text() : QStringLiteral("(no label %1)").arg(QLatin1String(name));
}

class AboutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setDocumentOpener([this](const QUrl& url) {
            m_opened.append(url);
            return true;
        });
    }
    void TearDown() override { setDocumentOpener({}); }

    static void load(const std::string& path)
    {
        ModelApi api;
        api.loadModel(path);
        ASSERT_TRUE(api.isLoaded()) << api.loadModelError().value_or("");
    }

    QList<QUrl> m_opened;
};

TEST_F(AboutTest, model_window_shows_the_models_own_texts_at_every_showing)
{
    load(test::exampleModel("life"));
    TfAboutModel window;
    window.show();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("About the Model"));
    EXPECT_EQ(window.size(), QSize(367, 262));
    EXPECT_EQ(labelText(window, "lName"), QStringLiteral("Life 1.0"));
    EXPECT_EQ(labelText(window, "lCopyright"), QStringLiteral("Copyright (c) the Tessra authors"));
    EXPECT_TRUE(labelText(window, "lComments").startsWith(QStringLiteral("Conway's Game of Life")));
    EXPECT_TRUE(
        labelText(window, "lAddress")
            .contains(QStringLiteral(">https://en.wikipedia.org/wiki/Conway%27s_Game_of_Life<")));
    window.hide();

    load(TESSRA_INFO_PLAIN_MODEL);
    window.show();
    EXPECT_EQ(labelText(window, "lName"), QStringLiteral("Plain")) << "no version, no blank";
    EXPECT_EQ(labelText(window, "lAddress"), QString()) << "no address, nothing to click";
    EXPECT_EQ(labelText(window, "lComments"),
        QStringLiteral("A model that gives neither a version nor a web address."));
    window.hide();
}

TEST_F(AboutTest, model_address_link_opens_the_address_through_the_desktop)
{
    load(test::exampleModel("life"));
    TfAboutModel window;
    window.show();
    auto* link = window.findChild<QLabel*>(QStringLiteral("lAddress"));
    ASSERT_NE(link, nullptr);
    emit link->linkActivated(QStringLiteral("ignored"));
    ASSERT_EQ(m_opened.size(), 1);
    EXPECT_EQ(m_opened.front(),
        QUrl(QStringLiteral("https://en.wikipedia.org/wiki/Conway%27s_Game_of_Life")));
    window.hide();
}

TEST_F(AboutTest, program_window_shows_the_project_information)
{
    TfAboutTool window;
    window.show();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("About Tessra"));
    EXPECT_EQ(window.size(), QSize(367, 286));
    EXPECT_EQ(labelText(window, "lProduct"), QStringLiteral("Tessra"));
    EXPECT_EQ(
        labelText(window, "lVersion"), QStringLiteral("Version 1.9 (Build 107, March 9, 2003)"));
    const QString apiVersion = QString::fromStdString(ModelApi().apiVersion());
    ASSERT_FALSE(apiVersion.isEmpty());
    EXPECT_EQ(labelText(window, "lApiVersion"), QStringLiteral("API Version ") + apiVersion);
    EXPECT_EQ(labelText(window, "lNotes"),
        QStringLiteral("A generic modeling framework for two-dimensional simulation "
                       "under 32-bit MS-Windows."));
    EXPECT_EQ(labelText(window, "lDescription"), QString::fromUtf8(project::Description));
    EXPECT_EQ(QString::fromStdString(project::applicationTitle()),
        QStringLiteral("Tessra - ") + QString::fromUtf8(project::Description));

    auto* link = window.findChild<QLabel*>(QStringLiteral("lAddress"));
    ASSERT_NE(link, nullptr);
    emit link->linkActivated(QString());
    ASSERT_EQ(m_opened.size(), 1);
    EXPECT_EQ(m_opened.front(), QUrl(QString::fromUtf8(project::HomePage)));

    auto* ok = window.findChild<QPushButton*>(QStringLiteral("bOk"));
    ASSERT_NE(ok, nullptr);
    EXPECT_TRUE(ok->isDefault());
    ok->click();
    EXPECT_FALSE(window.isVisible());
}

TEST_F(AboutTest, unreadable_api_version_shows_unknown)
{
    TfAboutTool window(QString(), nullptr);
    window.show();
    EXPECT_EQ(labelText(window, "lApiVersion"), QStringLiteral("API Version unknown"));
    window.hide();
}

} // namespace
} // namespace tessra
