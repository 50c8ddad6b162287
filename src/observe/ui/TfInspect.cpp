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

TfInspect::TfInspect(SiteInspector& inspector, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
    , m_inspector(inspector)
{
    setObjectName(QStringLiteral("fInspect"));
    setWindowTitle(QStringLiteral("Inspect Sites"));
    setAttribute(Qt::WA_QuitOnClose, false);
    setMinimumSize(MinimumWidth, MinimumHeight);
    buildUi();
    fillInspectorStates();
    restoreDisplaySettings();
    connect(&m_inspector, &SiteInspector::statesChanged, this, &TfInspect::fillInspectorStates);
    connect(&m_inspector, &SiteInspector::siteChanged, this, &TfInspect::showSite);
    connect(&m_inspector, &SiteInspector::chosenStateChanged, this, &TfInspect::showChosenState);
    connect(&m_inspector, &SiteInspector::shownChanged, this, &TfInspect::showInspector);
    connect(sgState, &QTableWidget::currentCellChanged, this,
        [this](int tableRow) { rowChosen(tableRow); });
    if (m_inspector.isShown())
        showInspector(true);
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

    lAboutState = new QLabel(SiteInspector::noDescription());
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
    const QStringList names = m_inspector.stateNames();
    const auto states = static_cast<int>(names.size());
    sgState->setRowCount(FirstStateRow + states);
    for (int i = 0; i < states; ++i) {
        cell(sgState, FirstStateRow + i, NameColumn)->setText(names[i]);
        const std::optional<double> value = m_inspector.value(i);
        setValue(FirstStateRow + i, value ? valueText(*value) : QString());
    }
    showChosenState(m_inspector.chosenState());
    lAboutState->setText(m_inspector.aboutLabel());
    mAboutState->setPlainText(m_inspector.aboutText());
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

void TfInspect::showInspector(bool show)
{
    if (show) {
        QWidget::show();
        raise();
    } else {
        hide();
    }
}

void TfInspect::showChosenState(int state)
{
    if (state >= 0) {
        if (sgState->currentRow() != FirstStateRow + state)
            sgState->setCurrentCell(FirstStateRow + state, NameColumn);
    } else if (sgState->currentRow() >= FirstStateRow) {
        sgState->setCurrentCell(-1, -1);
    }
}

void TfInspect::rowChosen(int tableRow)
{
    m_inspector.chooseState(tableRow >= FirstStateRow ? tableRow - FirstStateRow : -1);
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

void TfInspect::showSite()
{
    if (!m_inspector.hasSite())
        return;
    setValue(ColumnRow, QString::number(m_inspector.column()));
    setValue(RowRow, QString::number(m_inspector.row()));
    const unsigned int colour = m_inspector.colour();
    QPalette strip = Panel1->palette();
    strip.setColor(
        QPalette::Window, QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF));
    Panel1->setPalette(strip);
    const int states = std::min(m_inspector.stateCount(), sgState->rowCount() - FirstStateRow);
    for (int i = 0; i < states; ++i) {
        const std::optional<double> value = m_inspector.value(i);
        setValue(FirstStateRow + i, value ? valueText(*value) : QString());
    }
    lAboutState->setText(m_inspector.aboutLabel());
    mAboutState->setPlainText(m_inspector.aboutText());
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
    // FormClose: the inspector is hidden (and this window with it); the main
    // window unchecks its command.
    event->accept();
    m_inspector.setShown(false);
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
