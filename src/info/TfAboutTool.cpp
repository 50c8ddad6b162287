#include "TfAboutTool.h"

#include "AboutTexts.h"
#include "ModelApi.h"
#include "ProjectInfo.h"

#include <QApplication>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

namespace tessra {

namespace {
QPixmap iconPixmap()
{
    const QIcon icon = QApplication::windowIcon();
    if (!icon.isNull())
        return icon.pixmap(64, 64);
    return QPixmap::fromImage(programIconImage(64));
}
} // namespace

TfAboutTool::TfAboutTool(QWidget* parent)
    : TfAboutTool(QString::fromStdString(ModelApi().apiVersion()), parent)
{
}

TfAboutTool::TfAboutTool(const QString& apiVersion, QWidget* parent)
    : AboutDialog(
        QStringLiteral("fAboutTool"), QStringLiteral("About Tessra"), QSize(367, 286), parent)
    , m_apiVersion(apiVersion)
    , m_product(textLabel(QStringLiteral("lProduct"), Qt::AlignLeft))
    , m_version(textLabel(QStringLiteral("lVersion"), Qt::AlignLeft))
    , m_apiVersionLabel(textLabel(QStringLiteral("lApiVersion"), Qt::AlignLeft))
    , m_copyright(textLabel(QStringLiteral("lCopyright"), Qt::AlignHCenter, true))
    , m_address(linkLabel(QStringLiteral("lAddress")))
    , m_description(textLabel(QStringLiteral("lDescription"), Qt::AlignHCenter))
    , m_notes(textLabel(QStringLiteral("lNotes"), Qt::AlignHCenter | Qt::AlignTop, true))
{
    QFont bold = m_product->font();
    bold.setBold(true);
    m_product->setFont(bold);
    // Room for about three lines of notes.
    m_notes->setMinimumHeight(3 * m_notes->fontMetrics().lineSpacing());

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("iIcon"));
    icon->setFixedSize(64, 64);
    icon->setPixmap(iconPixmap());

    auto* top = new QGridLayout;
    top->addWidget(icon, 0, 0, 3, 1, Qt::AlignTop);
    top->addWidget(m_product, 0, 1);
    top->addWidget(m_version, 1, 1);
    top->addWidget(m_apiVersionLabel, 2, 1);
    top->setColumnStretch(1, 1);

    QVBoxLayout* panel = panelLayout();
    panel->addLayout(top);
    panel->addStretch(1);
    panel->addWidget(m_copyright);
    panel->addWidget(m_address);
    panel->addWidget(m_description);
    panel->addWidget(m_notes);
}

void TfAboutTool::showEvent(QShowEvent* event)
{
    FormShow();
    AboutDialog::showEvent(event);
}

void TfAboutTool::FormShow()
{
    m_product->setText(QString::fromUtf8(project::ProductName));
    m_version->setText(programVersionLine());
    m_apiVersionLabel->setText(apiVersionLine(m_apiVersion));
    m_copyright->setText(QString::fromUtf8(project::Copyright));
    setLink(m_address, QString::fromUtf8(project::HomePage));
    m_description->setText(QString::fromUtf8(project::Description));
    m_notes->setText(QString::fromUtf8(project::Notes));
}

} // namespace tessra
