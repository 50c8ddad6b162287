#include "TdNew.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ParamGridDelegates.h"

namespace tessra {

namespace {

// Sizes below are design pixels at 120 pixels per inch.
constexpr int DesignDpi = 120;
constexpr int DesignWidth = 420;
constexpr int DesignHeight = 335;
constexpr int MinimumWidth = 350;
constexpr int MinimumHeight = 250;
constexpr int Border = 5;
constexpr int RowHeight = 21;
constexpr int MinimumPageHeight = 80;
constexpr int MinimumDescriptionHeight = 50;
constexpr int DescriptionHeight = 91;

constexpr int NameColumn = 0;
constexpr int ValueColumn = 1;

const QString SettingsGroup = QStringLiteral("dNew");
const QString GeometryKey = QStringLiteral("Geometry");
const QString PageHeightKey = QStringLiteral("PageControl1.Height");

bool isEnterKey(const QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

void showStandardError(QWidget* parent, const CommandError& error)
{
    QMessageBox box(QMessageBox::Critical, QGuiApplication::applicationDisplayName(),
        error.message() + QLatin1Char('.'), QMessageBox::Ok, parent);
    box.exec();
}

} // namespace

TdNew::TdNew(NewSimulationCandidates& candidates, QWidget* parent)
    : QDialog(parent)
    , m_candidates(candidates)
    , m_reportError([this](const CommandError& error) { showStandardError(this, error); })
{
    setObjectName(QStringLiteral("dNew"));
    setWindowTitle(QStringLiteral("New Simulation"));
    setModal(true);
    buildUi();
    connect(qApp, &QApplication::focusChanged, this, &TdNew::gridFocusChanged);
    connect(&m_candidates, &NewSimulationCandidates::opened, this, &TdNew::showRows);
    connect(&m_candidates, &NewSimulationCandidates::valueTextChanged, this, &TdNew::showValueText);
    connect(
        &m_candidates, &NewSimulationCandidates::descriptionChanged, this, &TdNew::showDescription);
    // Closed from elsewhere while showing (the program ends a modal state): the
    // dialog goes with it, writing nothing.
    connect(&m_candidates, &NewSimulationCandidates::closed, this, [this] {
        if (isVisible())
            reject();
    });
}

TdNew::~TdNew()
{
    // The widgets below are deleted after this body has run, and deleting a
    // widget with the focus still announces focus changes.
    disconnect(qApp, &QApplication::focusChanged, this, &TdNew::gridFocusChanged);
    sgParams->removeEventFilter(this);
    sgParams->viewport()->removeEventFilter(this);
}

int TdNew::designPixels(int pixels) const
{
    return qRound(pixels * logicalDpiY() / static_cast<double>(DesignDpi));
}

void TdNew::buildUi()
{
    auto* layout = new QVBoxLayout(this);
    const int border = designPixels(Border);
    layout->setContentsMargins(border, border, border, border);

    sgParams = new QTableWidget(0, 2);
    sgParams->setObjectName(QStringLiteral("sgParams"));
    sgParams->setHorizontalHeaderLabels({ QStringLiteral("Name"), QStringLiteral("Value") });
    sgParams->verticalHeader()->hide();
    sgParams->verticalHeader()->setDefaultSectionSize(
        std::max(designPixels(RowHeight), fontMetrics().height() + designPixels(4)));
    sgParams->horizontalHeader()->setStretchLastSection(true);
    sgParams->horizontalHeader()->setSectionsClickable(false);
    sgParams->setSelectionMode(QAbstractItemView::ContiguousSelection);
    sgParams->setEditTriggers(QAbstractItemView::CurrentChanged | QAbstractItemView::DoubleClicked
        | QAbstractItemView::AnyKeyPressed);
    sgParams->setTabKeyNavigation(true);
    sgParams->setItemDelegateForColumn(NameColumn, new ParamLabelDelegate(sgParams));
    m_valueDelegate = new ParamValueDelegate(
        [this](int row, const QString& text) { return sgParamsCellValidate(row, text); }, sgParams);
    sgParams->setItemDelegateForColumn(ValueColumn, m_valueDelegate);
    sgParams->installEventFilter(this);
    sgParams->viewport()->installEventFilter(this);

    connect(sgParams, &QTableWidget::itemChanged, this, &TdNew::valueItemChanged);
    connect(m_valueDelegate, &ParamValueDelegate::editorPlaced, this, &TdNew::describeCell);
    connect(m_valueDelegate, &ParamValueDelegate::textTyped, this, &TdNew::describeCell);
    connect(m_valueDelegate, &ParamValueDelegate::enterAccepted, this, &TdNew::focusNextAfterGrid);
    connect(m_valueDelegate, &ParamValueDelegate::escapePressed, this, &TdNew::reject);

    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("tsParameters"));
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->addWidget(sgParams);

    PageControl1 = new QTabWidget;
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->tabBar()->setFocusPolicy(Qt::NoFocus);
    PageControl1->addTab(page, QStringLiteral("Parameters"));
    PageControl1->setMinimumHeight(designPixels(MinimumPageHeight));

    Splitter1 = new QSplitter(Qt::Vertical);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setChildrenCollapsible(false);
    Splitter1->addWidget(PageControl1);
    Splitter1->addWidget(buildDescriptionPanel());
    Splitter1->setStretchFactor(0, 1);
    Splitter1->setStretchFactor(1, 0);

    layout->addWidget(Splitter1, 1);
    layout->addWidget(buildButtonBar());
    setMinimumSize(designPixels(MinimumWidth), designPixels(MinimumHeight));
}

QWidget* TdNew::buildDescriptionPanel()
{
    pAboutParam = new QWidget;
    pAboutParam->setObjectName(QStringLiteral("pAboutParam"));
    pAboutParam->setMinimumHeight(designPixels(MinimumDescriptionHeight));
    auto* layout = new QVBoxLayout(pAboutParam);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(designPixels(2));

    lAboutParam = new QLabel(m_candidates.aboutLabel());
    lAboutParam->setObjectName(QStringLiteral("lAboutParam"));
    lAboutParam->setTextFormat(Qt::AutoText);

    mAboutParam = new QPlainTextEdit;
    mAboutParam->setObjectName(QStringLiteral("mAboutParam"));
    mAboutParam->setReadOnly(true);
    mAboutParam->setFocusPolicy(Qt::NoFocus);
    mAboutParam->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette palette = mAboutParam->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::ToolTipBase));
    palette.setColor(QPalette::Text, palette.color(QPalette::ToolTipText));
    mAboutParam->setPalette(palette);

    layout->addWidget(lAboutParam);
    layout->addWidget(mAboutParam, 1);
    return pAboutParam;
}

QWidget* TdNew::buildButtonBar()
{
    auto* bar = new QWidget;
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addStretch(1);

    OKBtn = new QPushButton(QStringLiteral("OK"));
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"));
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    // A click on Cancel does not take the focus, so it cancels without first
    // committing (and perhaps refusing with a beep) the value being edited.
    CancelBtn->setFocusPolicy(Qt::TabFocus);
    HelpBtn = new QPushButton(QStringLiteral("&Help"));
    HelpBtn->setObjectName(QStringLiteral("HelpBtn"));

    connect(OKBtn, &QPushButton::clicked, this, &TdNew::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &TdNew::reject);
    connect(HelpBtn, &QPushButton::clicked, this, &TdNew::HelpBtnClick);

    layout->addWidget(OKBtn);
    layout->addWidget(CancelBtn);
    layout->addWidget(HelpBtn);
    return bar;
}

bool TdNew::execute()
{
    return exec() == QDialog::Accepted;
}

void TdNew::setVisible(bool visible)
{
    const bool wasVisible = isVisible();
    if (visible && !wasVisible) {
        restoreDisplaySettings();
        FormShow();
    }
    if (!visible && wasVisible)
        saveDisplaySettings();
    QDialog::setVisible(visible);
    if (!visible && wasVisible)
        FormClose();
}

void TdNew::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // The page keeps its stored height; the description panel takes the rest.
    layout()->activate();
    const QList<int> sizes = Splitter1->sizes();
    const int total = sizes.value(0) + sizes.value(1);
    const int pageHeight
        = m_storedPageHeight > 0 ? m_storedPageHeight : total - designPixels(DescriptionHeight);
    Splitter1->setSizes({ pageHeight, total - pageHeight });
    fitNameColumn();
}

void TdNew::FormShow()
{
    m_candidates.open();
    mAboutParam->clear();
    sgParams->setFocus(Qt::OtherFocusReason);
}

void TdNew::showRows()
{
    const QList<NewSimulationCandidates::Row>& rows = m_candidates.rows();
    sgParams->clearContents();
    sgParams->setRowCount(static_cast<int>(rows.size()));
    for (int i = 0; i < rows.size(); ++i) {
        auto* name = new QTableWidgetItem(rows[i].label);
        name->setFlags(Qt::NoItemFlags);
        auto* value = new QTableWidgetItem(rows[i].valueText);
        value->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
        sgParams->setItem(i, NameColumn, name);
        sgParams->setItem(i, ValueColumn, value);
    }
    if (!rows.isEmpty())
        sgParams->setCurrentCell(0, ValueColumn);
}

void TdNew::showValueText(int index, const QString& text)
{
    QTableWidgetItem* item = sgParams->item(index, ValueColumn);
    if (item && item->text() != text)
        item->setText(text);
}

// A value cell changed other than by the cell editor (which commits through the
// candidates first): the text goes through the candidates too, and a text the
// model refuses is taken back.
void TdNew::valueItemChanged(QTableWidgetItem* item)
{
    const int index = item->row();
    if (item->column() != ValueColumn || index >= m_candidates.rows().size())
        return;
    const QString shown = m_candidates.rows()[index].valueText;
    if (item->text() != shown && !m_candidates.commit(index, item->text()))
        item->setText(shown);
}

void TdNew::showDescription()
{
    lAboutParam->setText(m_candidates.aboutLabel());
    if (mAboutParam->toPlainText() != m_candidates.aboutText())
        mAboutParam->setPlainText(m_candidates.aboutText());
}

void TdNew::FormClose()
{
    m_candidates.close(); // which empties the description
}

void TdNew::accept()
{
    m_valueDelegate->commitOpenEditor();
    m_candidates.writeBack();
    QDialog::accept();
}

void TdNew::reject()
{
    m_valueDelegate->discardOpenEditor();
    QDialog::reject();
}

void TdNew::HelpBtnClick()
{
    if (!m_help)
        return;
    try {
        m_help(QStringLiteral("dNew"));
    } catch (const CommandError& error) {
        if (m_reportError)
            m_reportError(error);
    }
}

void TdNew::describeCell(int row, const QString& text)
{
    try {
        m_candidates.describe(row, text);
    } catch (const CommandError& error) {
        reportLater(error);
    }
}

// An accepted text becomes the row's value in the candidates, which the grid
// then shows; a refused one changes nothing there.
bool TdNew::sgParamsCellValidate(int row, const QString& text)
{
    return m_candidates.commit(row, text);
}

void TdNew::reportLater(const CommandError& error)
{
    // Shown once the key or focus event that caused it is over: a message box
    // must not run inside the cell editor's own event handling.
    QMetaObject::invokeMethod(
        this,
        [this, error] {
            if (m_reportError)
                m_reportError(error);
        },
        Qt::QueuedConnection);
}

bool TdNew::eventFilter(QObject* object, QEvent* event)
{
    if (object == sgParams) {
        // The grid also receives the focus for a moment whenever an editor
        // closes (leaving a cell, Tab at the last cell); the editor is placed
        // once that has settled, so only the cell that ends up current is
        // described.
        if (event->type() == QEvent::FocusIn)
            QMetaObject::invokeMethod(this, &TdNew::placeEditorOnCurrentCell, Qt::QueuedConnection);
        if (isEnterKey(event)) {
            focusNextAfterGrid();
            return true;
        }
    } else if (object == sgParams->viewport() && event->type() == QEvent::Resize) {
        fitNameColumn();
    }
    return QDialog::eventFilter(object, event);
}

void TdNew::placeEditorOnCurrentCell()
{
    if (!sgParams->hasFocus() || sgParams->rowCount() == 0 || m_valueDelegate->openEditor())
        return;
    const QModelIndex current = sgParams->currentIndex();
    if (!current.isValid() || current.column() != ValueColumn)
        sgParams->setCurrentCell(current.isValid() ? current.row() : 0, ValueColumn);
    else
        sgParams->edit(current);
}

void TdNew::focusNextAfterGrid()
{
    // The next tab stop after the grid, forward: the OK button.
    for (QWidget* next = sgParams->nextInFocusChain(); next && next != sgParams;
         next = next->nextInFocusChain()) {
        if (sgParams->isAncestorOf(next) || next->window() != this)
            continue;
        if ((next->focusPolicy() & Qt::TabFocus) && next->isVisibleTo(this) && next->isEnabled()) {
            next->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void TdNew::fitNameColumn()
{
    sgParams->setColumnWidth(NameColumn, sgParams->viewport()->width() * 2 / 3);
}

void TdNew::gridFocusChanged(QWidget* old, QWidget* now)
{
    const auto inGrid = [this](QWidget* widget) {
        return widget && (widget == sgParams || sgParams->isAncestorOf(widget));
    };
    if (inGrid(old) && !inGrid(now))
        m_candidates.clearDescription();
}

void TdNew::restoreDisplaySettings()
{
    QSettings settings(QStringLiteral("Tessra"), QStringLiteral("Tessra"));
    settings.beginGroup(SettingsGroup);
    m_storedPageHeight = settings.value(PageHeightKey, -1).toInt();
    const QByteArray geometry = settings.value(GeometryKey).toByteArray();
    if (!geometry.isEmpty() && restoreGeometry(geometry))
        return;
    resize(designPixels(DesignWidth), designPixels(DesignHeight));
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

void TdNew::saveDisplaySettings() const
{
    QSettings settings(QStringLiteral("Tessra"), QStringLiteral("Tessra"));
    settings.beginGroup(SettingsGroup);
    settings.setValue(GeometryKey, saveGeometry());
    settings.setValue(PageHeightKey, PageControl1->height());
}

} // namespace tessra
