#include "TfInspect.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSettings>
#include <QSplitter>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

#include "NumberFormat.h"

namespace tessra {

namespace {

constexpr int StripHeight = 21;
constexpr int RowHeight = 21;
constexpr int MinimumGridHeight = 100;
constexpr int MinimumDescriptionHeight = 50;
constexpr int DescriptionHeight = 84;
constexpr int DefaultWidth = 220;
constexpr int DefaultHeight = 330;

// Table rows (the header is apart from the rows of the table widget).
constexpr int ColumnRow = 0;
constexpr int RowRow = 1;
constexpr int FirstStateRow = 2;
constexpr int NameColumn = 0;
constexpr int ValueColumn = 1;

const QString SettingsGroup = QStringLiteral("fInspect");
const QString GeometryKey = QStringLiteral("Geometry");
const QString SplitterKey = QStringLiteral("RxSplitter1");
const QString NoDescription = QStringLiteral("Description");
// The widest value the grid shows: 15 significant digits, a sign and an exponent.
const QString WidestValue = QStringLiteral("-8.88888888888888e-308");

QTableWidgetItem* cell(QTableWidget* grid, int row, int column)
{
    QTableWidgetItem* item = grid->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        if (column == NameColumn)
            item->setBackground(grid->palette().button());
        grid->setItem(row, column, item);
    }
    return item;
}

} // namespace

TfInspect::TfInspect(ModelApi model, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
    , m_model(model)
{
    setObjectName(QStringLiteral("fInspect"));
    setWindowTitle(QStringLiteral("Inspect Sites"));
    setAttribute(Qt::WA_QuitOnClose, false);
    setMinimumSize(MinimumWidth, MinimumHeight);
    buildUi();
    restoreDisplaySettings();
}

TfInspect::~TfInspect()
{
    if (m_settingsRestored)
        saveDisplaySettings();
}

void TfInspect::buildUi()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    Panel1 = new QWidget;
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(StripHeight);
    Panel1->setAutoFillBackground(true);
    Panel1->setToolTip(QStringLiteral("Site Color"));
    layout->addWidget(Panel1);

    sgState = new QTableWidget(FirstStateRow, 2);
    sgState->setObjectName(QStringLiteral("sgState"));
    sgState->setHorizontalHeaderLabels({ QStringLiteral("Name"), QStringLiteral("Value") });
    sgState->verticalHeader()->hide();
    sgState->verticalHeader()->setDefaultSectionSize(
        std::max(RowHeight, fontMetrics().height() + 4));
    sgState->horizontalHeader()->setStretchLastSection(true);
    sgState->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sgState->horizontalHeader()->setSectionsClickable(false);
    sgState->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sgState->setSelectionBehavior(QAbstractItemView::SelectRows);
    sgState->setSelectionMode(QAbstractItemView::SingleSelection);
    sgState->setMinimumHeight(MinimumGridHeight);
    // The first column follows the grid's client width (scroll bars come and
    // go), which is the header's width.
    sgState->horizontalHeader()->installEventFilter(this);
    cell(sgState, ColumnRow, NameColumn)->setText(QStringLiteral("X Position"));
    cell(sgState, RowRow, NameColumn)->setText(QStringLiteral("Y Position"));
    cell(sgState, ColumnRow, ValueColumn);
    cell(sgState, RowRow, ValueColumn);

    RxSplitter1 = new QSplitter(Qt::Vertical);
    RxSplitter1->setObjectName(QStringLiteral("RxSplitter1"));
    RxSplitter1->setChildrenCollapsible(false);
    RxSplitter1->addWidget(sgState);
    RxSplitter1->addWidget(buildDescriptionPanel());
    RxSplitter1->setStretchFactor(0, 1);
    RxSplitter1->setStretchFactor(1, 0);
    RxSplitter1->setSizes({ DefaultHeight - StripHeight - DescriptionHeight, DescriptionHeight });
    layout->addWidget(RxSplitter1, 1);
}

QWidget* TfInspect::buildDescriptionPanel()
{
    pAboutState = new QWidget;
    pAboutState->setObjectName(QStringLiteral("pAboutState"));
    pAboutState->setMinimumHeight(MinimumDescriptionHeight);
    auto* layout = new QVBoxLayout(pAboutState);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);

    lAboutState = new QLabel(NoDescription);
    lAboutState->setObjectName(QStringLiteral("lAboutState"));
    QFont larger = lAboutState->font();
    larger.setPointSizeF(larger.pointSizeF() * 1.15);
    lAboutState->setFont(larger);
    layout->addWidget(lAboutState);

    mAboutState = new QPlainTextEdit;
    mAboutState->setObjectName(QStringLiteral("mAboutState"));
    mAboutState->setReadOnly(true);
    mAboutState->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mAboutState->setFocusPolicy(Qt::ClickFocus);
    QPalette tip = mAboutState->palette();
    tip.setColor(QPalette::Base, tip.color(QPalette::ToolTipBase));
    tip.setColor(QPalette::Text, tip.color(QPalette::ToolTipText));
    mAboutState->setPalette(tip);
    layout->addWidget(mAboutState, 1);
    return pAboutState;
}

void TfInspect::fillInspectorStates()
{
    const int states = m_model.stateCount();
    sgState->setRowCount(FirstStateRow + states);
    for (int i = 0; i < states; ++i) {
        cell(sgState, FirstStateRow + i, NameColumn)
            ->setText(QString::fromStdString(m_model.stateName(i)));
        cell(sgState, FirstStateRow + i, ValueColumn);
    }
    // The description belonged to the world before.
    lAboutState->setText(NoDescription);
    mAboutState->clear();
    if (m_defaultSize && width() < preferredWidth())
        resize(preferredWidth(), height());
    FormResize();
}

int TfInspect::textWidth(const QString& text) const
{
    // The item's text margins on both sides and the grid line.
    const int margin
        = sgState->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, sgState) + 1;
    return sgState->fontMetrics().horizontalAdvance(text) + 2 * margin + 2;
}

int TfInspect::nameColumnWidth() const
{
    int widest = textWidth(sgState->horizontalHeaderItem(NameColumn)->text());
    for (int row = 0; row < sgState->rowCount(); ++row) {
        if (const QTableWidgetItem* item = sgState->item(row, NameColumn))
            widest = std::max(widest, textWidth(item->text()));
    }
    return widest;
}

int TfInspect::preferredWidth() const
{
    const int frame = 2 * sgState->frameWidth();
    const int scrollBar
        = sgState->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, sgState);
    return std::max(DefaultWidth, nameColumnWidth() + textWidth(WidestValue) + frame + scrollBar);
}

bool TfInspect::showInspector(bool show)
{
    if (show) {
        if (sgState->rowCount() > FirstStateRow && sgState->currentRow() < FirstStateRow)
            sgState->setCurrentCell(FirstStateRow, NameColumn);
        QWidget::show();
        raise();
    } else {
        hide();
    }
    return isVisible();
}

int TfInspect::chosenState() const
{
    const int row = sgState->currentRow();
    return row >= FirstStateRow ? row - FirstStateRow : -1;
}

QString TfInspect::valueText(double value)
{
    return formatGeneral(value, QLocale());
}

void TfInspect::setValue(int tableRow, const QString& text)
{
    cell(sgState, tableRow, ValueColumn)->setText(text);
}

void TfInspect::inspectSite(int column, int row, unsigned int color)
{
    // Hidden, the inspector asks the model library nothing.
    if (!isVisible())
        return;
    setValue(ColumnRow, QString::number(column));
    setValue(RowRow, QString::number(row));
    QPalette strip = Panel1->palette();
    strip.setColor(
        QPalette::Window, QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF));
    Panel1->setPalette(strip);

    const int states = std::min(m_model.stateCount(), sgState->rowCount() - FirstStateRow);
    for (int i = 0; i < states; ++i)
        setValue(FirstStateRow + i, valueText(m_model.stateValue(column, row, i)));

    // A position row has no state to describe; the model is never asked
    // about a state index it does not have.
    const int state = chosenState();
    if (state >= 0 && state < states) {
        lAboutState->setText(QString::fromStdString(m_model.stateName(state)));
        mAboutState->setPlainText(QString::fromStdString(m_model.aboutState(column, row, state)));
    } else {
        lAboutState->setText(NoDescription);
        mAboutState->clear();
    }
}

void TfInspect::FormResize()
{
    // The name column as wide as its longest name; the value column takes the rest.
    QHeaderView* header = sgState->horizontalHeader();
    header->resizeSection(NameColumn, nameColumnWidth());
}

bool TfInspect::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == sgState->horizontalHeader() && event->type() == QEvent::Resize)
        FormResize();
    return QWidget::eventFilter(watched, event);
}

void TfInspect::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        saveDisplaySettings();
}

void TfInspect::closeEvent(QCloseEvent* event)
{
    // FormClose: the main window unchecks its command and hides the window.
    event->accept();
    emit visibilityChangedByUser(false);
}

void TfInspect::restoreDisplaySettings()
{
    QSettings settings(QStringLiteral("Tessra"), QStringLiteral("Tessra"));
    settings.beginGroup(SettingsGroup);
    const QByteArray geometry = settings.value(GeometryKey).toByteArray();
    m_defaultSize = geometry.isEmpty() || !restoreGeometry(geometry);
    if (m_defaultSize)
        resize(preferredWidth(), DefaultHeight);
    const QByteArray splitter = settings.value(SplitterKey).toByteArray();
    if (!splitter.isEmpty())
        RxSplitter1->restoreState(splitter);
    m_settingsRestored = true;
}

void TfInspect::saveDisplaySettings() const
{
    QSettings settings(QStringLiteral("Tessra"), QStringLiteral("Tessra"));
    settings.beginGroup(SettingsGroup);
    settings.setValue(GeometryKey, saveGeometry());
    settings.setValue(SplitterKey, RxSplitter1->saveState());
}

} // namespace tessra
