#include "AboutDialog.h"

#include "AboutTexts.h"
#include "DocumentOpener.h"

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

void AboutDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (const QScreen* display = screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(display->availableGeometry().center());
        move(frame.topLeft());
    }
}

} // namespace tessra
