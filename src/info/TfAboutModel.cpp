#include "TfAboutModel.h"

#include "AboutTexts.h"

#include <QLabel>
#include <QVBoxLayout>

namespace tessra {

TfAboutModel::TfAboutModel(QWidget* parent)
    : AboutDialog(
        QStringLiteral("fAboutModel"), QStringLiteral("About the Model"), QSize(367, 262), parent)
    , m_name(textLabel(QStringLiteral("lName"), Qt::AlignHCenter))
    , m_copyright(textLabel(QStringLiteral("lCopyright"), Qt::AlignHCenter))
    , m_address(linkLabel(QStringLiteral("lAddress")))
    , m_comments(textLabel(QStringLiteral("lComments"), Qt::AlignHCenter | Qt::AlignTop, true))
{
    QFont bold = m_name->font();
    bold.setBold(true);
    m_name->setFont(bold);
    // Room for about four lines of comments.
    m_comments->setMinimumHeight(4 * m_comments->fontMetrics().lineSpacing());

    QVBoxLayout* panel = panelLayout();
    panel->addStretch(1);
    panel->addWidget(m_name);
    panel->addWidget(m_copyright);
    panel->addWidget(m_address);
    panel->addWidget(m_comments);
    panel->addStretch(1);
}

void TfAboutModel::showEvent(QShowEvent* event)
{
    FormShow();
    AboutDialog::showEvent(event);
}

void TfAboutModel::FormShow()
{
    const ModelAboutTexts texts = modelAboutTexts(m_api);
    m_name->setText(texts.nameLine);
    m_copyright->setText(texts.copyright);
    setLink(m_address, texts.address);
    m_comments->setText(texts.comments);
}

} // namespace tessra
