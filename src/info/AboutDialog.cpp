#include "AboutDialog.h"

#include "AboutTexts.h"
#include "DocumentOpener.h"

#include <QFontMetrics>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace tessra {

namespace {
constexpr char LinkTarget[] = "linkTarget";
}

AboutDialog::AboutDialog(
    const QString& objectName, const QString& caption, QSize clientSize, QWidget* parent)
    : QDialog(parent,
        Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
            | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(objectName);
    setWindowTitle(caption);
    setFixedSize(clientSize);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("pPanel"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_panelLayout = new QVBoxLayout(panel);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("bOk"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel, 1);
    layout->addLayout(buttons);
}

QLabel* AboutDialog::textLabel(const QString& name, Qt::Alignment alignment, bool wrap)
{
    auto* label = new QLabel(this);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(alignment);
    label->setWordWrap(wrap);
    return label;
}

QLabel* AboutDialog::linkLabel(const QString& name)
{
    auto* label = new QLabel(this);
    label->setObjectName(name);
    label->setTextFormat(Qt::RichText);
    label->setAlignment(Qt::AlignHCenter);
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    connect(label, &QLabel::linkActivated, label,
        [label] { openLink(label->property(LinkTarget).toString()); });
    return label;
}

void AboutDialog::setLink(QLabel* label, const QString& address)
{
    label->setProperty(LinkTarget, address);
    label->setText(linkMarkup(address));
}

// A long web address would be cut at the fixed window's edge: its label takes a
// smaller font until the whole address fits (down to a still readable size).
void AboutDialog::fitLinks()
{
    if (QLayout* own = layout())
        own->activate();
    m_panelLayout->activate();
    for (QLabel* label : findChildren<QLabel*>()) {
        const QString address = label->property(LinkTarget).toString();
        if (address.isEmpty())
            continue;
        label->setFont(QFont());
        label->setToolTip(address);
        QFont font = label->font();
        const int room = label->contentsRect().width();
        while (QFontMetrics(font).horizontalAdvance(address) > room && font.pointSizeF() > 6.5)
            font.setPointSizeF(font.pointSizeF() - 0.5);
        label->setFont(font);
    }
}

void AboutDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    fitLinks();
    if (const QScreen* display = screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(display->availableGeometry().center());
        move(frame.topLeft());
    }
}

} // namespace tessra
