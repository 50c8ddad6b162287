#include "TfTimeSeries.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSettings>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "SaveFileDialog.h"
#include "SeriesChoice.h"
#include "SeriesPage.h"
#include "SeriesTable.h"
#include "TimeSeriesGraph.h"
#include "TimeSeriesRecorder.h"

namespace tessra {

namespace {

const QString Title = QStringLiteral("Time Series");
const QString HelpKey = QStringLiteral("fTimeSeries");

const QString SettingsGroup = QStringLiteral("fTimeSeries");
const QString GeometryKey = QStringLiteral("Geometry");
const QString PageKey = QStringLiteral("Page");
const QString ActiveControlKey = QStringLiteral("ActiveControl");
const QString DrawLinesKey = QStringLiteral("DrawLines");
const QString DrawPointsKey = QStringLiteral("DrawPoints");
const QString MonochromeKey = QStringLiteral("Monochrome");
const QString GridKey = QStringLiteral("Grid");
const QString SaveAsFileKey = QStringLiteral("SaveAsFile");
const QString SaveAsFilterKey = QStringLiteral("SaveAsFilter");
const QString ExportFileKey = QStringLiteral("ExportDataFile");

constexpr int DefaultWidth = 560;
constexpr int DefaultHeight = 420;
constexpr int ButtonSize = 48;
constexpr int IconSize = 24;
constexpr int SeriesPageIndex = 0;
constexpr int GraphPageIndex = 1;

const QStringList SaveAsFilters { QStringLiteral("Bitmap (*.bmp)"),
    QStringLiteral("SVG picture (*.svg)"), QStringLiteral("PNG (*.png)") };
const QStringList SaveAsSuffixes { QStringLiteral("bmp"), QStringLiteral("svg"),
    QStringLiteral("png") };

GraphOutput::Format formatOf(const QString& fileName, int filterIndex)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    const int bySuffix = SaveAsSuffixes.indexOf(suffix);
    switch (bySuffix >= 0 ? bySuffix : filterIndex) {
    case 1:
        return GraphOutput::Format::Svg;
    case 2:
        return GraphOutput::Format::Png;
    default:
        return GraphOutput::Format::Bitmap;
    }
}

int selectedRow(const QListWidget* list)
{
    const QList<QListWidgetItem*> items = list->selectedItems();
    return items.isEmpty() ? -1 : list->row(items.first());
}

AppendAnswer askToAppend(const QString&)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("File Exists"),
        QStringLiteral("Append data to existing file?"),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return AppendAnswer::Yes;
    case QMessageBox::No:
        return AppendAnswer::No;
    default:
        return AppendAnswer::Cancel;
    }
}

} // namespace

TfTimeSeries::TfTimeSeries(TimeSeriesRecorder& recorder, SeriesChoice& choice, QWidget* parent)
    : QMainWindow(parent)
    , m_recorder(recorder)
    , m_table(recorder.table())
    , m_choice(choice)
    , m_reportError([this](const CommandError& error) { showStandardError(this, error); })
    , m_printDialog([this](QPrinter& printer) {
        QPrintDialog dialog(&printer, this);
        dialog.setObjectName(QStringLiteral("pdPrint"));
        return dialog.exec() == QDialog::Accepted;
    })
{
    setObjectName(QStringLiteral("fTimeSeries"));
    setWindowTitle(Title);
    setAttribute(Qt::WA_QuitOnClose, false);
    setMinimumSize(MinimumWidth, MinimumHeight);

    buildActions();
    buildMenus();
    tsSeries = new SeriesPage;
    PageControl1 = new QTabWidget;
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->addTab(tsSeries, QStringLiteral("Series"));
    PageControl1->addTab(buildGraph(), QStringLiteral("Graph"));
    PageControl1->setCurrentIndex(GraphPageIndex);

    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildToolBar());
    layout->addWidget(PageControl1, 1);
    setCentralWidget(central);

    // Both take a name only in an existing folder.
    sdSaveAs = new SaveFileDialog(this, QStringLiteral("Save Graph As"));
    sdSaveAs->setObjectName(QStringLiteral("sdSaveAs"));
    sdSaveAs->setNameFilters(SaveAsFilters);
    sdSaveAs->setDefaultSuffix(SaveAsSuffixes.first());
    connect(sdSaveAs, &QFileDialog::filterSelected, this, [this](const QString& filter) {
        sdSaveAs->setDefaultSuffix(
            SaveAsSuffixes.value(SaveAsFilters.indexOf(filter), SaveAsSuffixes.first()));
    });
    sdExportData = new SaveFileDialog(this, QStringLiteral("Export Data"));
    sdExportData->setObjectName(QStringLiteral("sdExportData"));
    // An existing file gets the append question instead.
    sdExportData->setOption(QFileDialog::DontConfirmOverwrite);
    sdExportData->setNameFilters(
        { QStringLiteral("Data files (*.dat)"), QStringLiteral("All files (*)") });
    sdExportData->setDefaultSuffix(QStringLiteral("dat"));

    m_recorder.setAppendQuestion(askToAppend);
    connectTable();
    restoreDisplaySettings();
}

TfTimeSeries::~TfTimeSeries()
{
    if (m_settingsRestored)
        saveDisplaySettings();
}

QAction* TfTimeSeries::action(const QString& name, const QString& text, const QString& caption,
    const QString& hint, const QString& icon)
{
    auto* a = new QAction(text, this);
    a->setObjectName(name);
    if (!caption.isEmpty())
        a->setIconText(caption);
    if (!hint.isEmpty())
        a->setToolTip(hint);
    if (!icon.isEmpty())
        a->setIcon(QIcon(QStringLiteral(":/observe/icons/") + icon + QStringLiteral(".svg")));
    return a;
}

void TfTimeSeries::buildActions()
{
    mExportData = action(QStringLiteral("mExportData"), QStringLiteral("E&xport Data to..."),
        QStringLiteral("Export"), QStringLiteral("Export Data"), QStringLiteral("export"));
    mClose = action(QStringLiteral("mClose"), QStringLiteral("&Close Window"), {}, {}, {});
    mSaveAs = action(QStringLiteral("mSaveAs"), QStringLiteral("&Save As..."),
        QStringLiteral("Save"), QStringLiteral("Save graph as..."), QStringLiteral("save"));
    mSaveAs->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    mPrint = action(QStringLiteral("mPrint"), QStringLiteral("P&rint"), {}, {}, {});
    mPrint->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    mCopy = action(QStringLiteral("mCopy"), QStringLiteral("&Copy"), QStringLiteral("Copy"),
        QStringLiteral("Copy graph to clipboard"), QStringLiteral("copy"));
    mCopy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    mClear = action(QStringLiteral("mClear"), QStringLiteral("Clear"), QStringLiteral("Clear"),
        QStringLiteral("Clear graph"), QStringLiteral("clear"));
    mClear->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Delete));
    mDrawLines = action(QStringLiteral("mDrawLines"), QStringLiteral("Draw &Lines"),
        QStringLiteral("Lines"), QStringLiteral("Draw lines"), QStringLiteral("lines"));
    mDrawPoints = action(QStringLiteral("mDrawPoints"), QStringLiteral("Draw &Points"),
        QStringLiteral("Points"), QStringLiteral("Draw points"), QStringLiteral("points"));
    mMonochrome = action(QStringLiteral("mMonochrome"), QStringLiteral("Monochrome"),
        QStringLiteral("Mono"), QStringLiteral("Monochrome (black & white)"),
        QStringLiteral("mono"));
    mGrid = action(QStringLiteral("mGrid"), QStringLiteral("&Grid"), QStringLiteral("Grid"),
        QStringLiteral("Draw grid"), QStringLiteral("grid"));
    for (QAction* toggle : { mDrawLines, mDrawPoints, mMonochrome, mGrid })
        toggle->setCheckable(true);
    mDrawLines->setChecked(true);
    Help1 = action(QStringLiteral("Help1"), QStringLiteral("&Help"), {}, {}, {});
    Help1->setShortcut(QKeySequence(Qt::Key_F1));

    connect(mExportData, &QAction::triggered, this, &TfTimeSeries::mExportDataClick);
    connect(mClose, &QAction::triggered, this, &TfTimeSeries::mCloseClick);
    connect(mSaveAs, &QAction::triggered, this, &TfTimeSeries::mSaveAsClick);
    connect(mPrint, &QAction::triggered, this, &TfTimeSeries::mPrintClick);
    connect(mCopy, &QAction::triggered, this, &TfTimeSeries::mCopyClick);
    connect(mClear, &QAction::triggered, this, &TfTimeSeries::mClearClick);
    connect(mDrawLines, &QAction::triggered, this, &TfTimeSeries::mDrawLinesClick);
    connect(mDrawPoints, &QAction::triggered, this, &TfTimeSeries::mDrawPointsClick);
    connect(mMonochrome, &QAction::triggered, this, &TfTimeSeries::mMonochromeClick);
    connect(mGrid, &QAction::triggered, this, &TfTimeSeries::mGridClick);
    connect(Help1, &QAction::triggered, this, &TfTimeSeries::Help1Click);
}

void TfTimeSeries::buildMenus()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File1"));
    file->addAction(mExportData);
    file->addAction(mClose);
    QMenu* graph = menuBar()->addMenu(QStringLiteral("&Graph"));
    graph->setObjectName(QStringLiteral("Graph1"));
    graph->addAction(mSaveAs);
    graph->addAction(mPrint);
    graph->addAction(mCopy);
    graph->addAction(mClear);
    graph->addSeparator();
    graph->addAction(mDrawLines);
    graph->addAction(mDrawPoints);
    graph->addAction(mMonochrome);
    graph->addAction(mGrid);
    menuBar()->addAction(Help1);
}

QToolButton* TfTimeSeries::toolButton(const QString& name, QAction* action)
{
    auto* button = new QToolButton;
    button->setObjectName(name);
    button->setDefaultAction(action);
    button->setAutoRaise(true);
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setIconSize(QSize(IconSize, IconSize));
    button->setFixedSize(ButtonSize, ButtonSize);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QWidget* TfTimeSeries::buildToolBar()
{
    auto* panel = new QWidget;
    panel->setObjectName(QStringLiteral("Panel1"));
    auto* layout = new QHBoxLayout(panel);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(0);
    layout->addWidget(toolButton(QStringLiteral("sbExport"), mExportData));
    layout->addWidget(toolButton(QStringLiteral("sbSaveAs"), mSaveAs));
    layout->addWidget(toolButton(QStringLiteral("sbCopy"), mCopy));
    layout->addWidget(toolButton(QStringLiteral("sbClear"), mClear));
    layout->addWidget(toolButton(QStringLiteral("sbDrawLines"), mDrawLines));
    layout->addWidget(toolButton(QStringLiteral("sbDrawPoints"), mDrawPoints));
    layout->addWidget(toolButton(QStringLiteral("sbMono"), mMonochrome));
    layout->addWidget(toolButton(QStringLiteral("sbGrid"), mGrid));
    layout->addStretch(1);
    return panel;
}

QWidget* TfTimeSeries::buildGraph()
{
    tsGraph = new QWidget;
    tsGraph->setObjectName(QStringLiteral("tsGraph"));
    xygTimeSeries = new TimeSeriesGraph(m_table, tsGraph);
    auto* layout = new QVBoxLayout(tsGraph);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(xygTimeSeries);
    return tsGraph;
}

void TfTimeSeries::connectTable()
{
    connect(tsSeries->lbOperation, &QListWidget::itemSelectionChanged, this,
        &TfTimeSeries::lbOperationChange);
    connect(tsSeries->lbStates, &QListWidget::itemSelectionChanged, this,
        &TfTimeSeries::lbStatesChange);
    connect(&m_choice, &SeriesChoice::changed, this, &TfTimeSeries::showChoice);
    connect(tsSeries->bAdd, &QPushButton::clicked, this, &TfTimeSeries::bAddClick);
    connect(tsSeries->bRemove, &QPushButton::clicked, this, &TfTimeSeries::bRemoveClick);
    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int page) {
        FormResize();
        if (page == GraphPageIndex)
            xygTimeSeries->redraw();
    });
    connect(&m_table, &SeriesTable::seriesAdded, this, &TfTimeSeries::seriesAdded);
    connect(&m_table, &SeriesTable::seriesRemoved, this, &TfTimeSeries::seriesRemoved);
    connect(&m_table, &SeriesTable::samplesCleared, this, &TfTimeSeries::samplesCleared);
    // Series chosen before the window existed are listed in their order.
    for (int row = 0; row < m_table.count(); ++row)
        seriesAdded(m_table.slotAtRow(row));
    showChoice();
    updateButtons();
}

template <class Command> void TfTimeSeries::run(Command command)
{
    try {
        command();
    } catch (const CommandError& error) {
        if (m_reportError)
            m_reportError(error);
    }
}

// ---- Series page ---------------------------------------------------------

void TfTimeSeries::lbOperationChange()
{
    m_choice.chooseOperation(selectedRow(tsSeries->lbOperation));
}

void TfTimeSeries::lbStatesChange()
{
    m_choice.chooseSubject(selectedRow(tsSeries->lbStates));
}

void TfTimeSeries::showChoice()
{
    // The lists show the choice; setting them here chooses nothing again.
    QListWidget* operations = tsSeries->lbOperation;
    QListWidget* subjects = tsSeries->lbStates;
    const QSignalBlocker blockOperations(operations);
    const QSignalBlocker blockSubjects(subjects);
    if (m_choice.operation() < 0)
        operations->clearSelection();
    else
        operations->setCurrentRow(m_choice.operation());
    QStringList shown;
    for (int row = 0; row < subjects->count(); ++row)
        shown.append(subjects->item(row)->text());
    if (shown != m_choice.subjects()) {
        subjects->clear();
        subjects->addItems(m_choice.subjects());
    }
    if (m_choice.subject() < 0) {
        subjects->setCurrentItem(nullptr);
        subjects->clearSelection();
    } else {
        subjects->setCurrentRow(m_choice.subject());
    }
}

void TfTimeSeries::bAddClick()
{
    run([this] { m_choice.add(); });
}

void TfTimeSeries::bRemoveClick()
{
    run([this] { m_table.removeSeriesAtRow(selectedRow(tsSeries->lbSeries)); });
}

void TfTimeSeries::updateButtons()
{
    tsSeries->bAdd->setEnabled(m_table.count() < SeriesTable::SlotCount);
    tsSeries->bRemove->setEnabled(m_table.count() > 0);
}

void TfTimeSeries::seriesAdded(int slot)
{
    tsSeries->lbSeries->addItem(m_table.label(slot));
    xygTimeSeries->showSeries(slot, m_table.label(slot));
    applySeriesColour(slot);
    applySeriesStyle(slot);
    xygTimeSeriesResize();
    updateButtons();
    xygTimeSeries->redraw();
}

void TfTimeSeries::seriesRemoved(int slot, int row)
{
    delete tsSeries->lbSeries->takeItem(row);
    // The list would select the next row by itself; a second Remove must not
    // take another series the user never chose.
    tsSeries->lbSeries->setCurrentItem(nullptr);
    tsSeries->lbSeries->clearSelection();
    xygTimeSeries->hideSeries(slot);
    xygTimeSeriesResize();
    updateButtons();
    xygTimeSeries->redraw();
}

void TfTimeSeries::FormResize()
{
    tsSeries->layOut();
}

// ---- Graph settings ------------------------------------------------------

SampleGraph* TfTimeSeries::graphSeries(int slot) const
{
    return xygTimeSeries->series(slot);
}

void TfTimeSeries::applySeriesColour(int slot)
{
    xygTimeSeries->setLook(slot, seriesLook(slot, mMonochrome->isChecked()));
}

void TfTimeSeries::applySeriesStyle(int slot)
{
    xygTimeSeries->setStyle(slot, mDrawLines->isChecked(), mDrawPoints->isChecked());
}

void TfTimeSeries::applyDrawingSetting()
{
    for (int slot = 0; slot < SeriesTable::SlotCount; ++slot) {
        if (m_table.isUsed(slot))
            applySeriesStyle(slot);
    }
}

void TfTimeSeries::applyColourSetting()
{
    for (int slot = 0; slot < SeriesTable::SlotCount; ++slot) {
        if (m_table.isUsed(slot))
            applySeriesColour(slot);
    }
}

void TfTimeSeries::applyGridSetting()
{
    xygTimeSeries->setGrid(mGrid->isChecked());
}

void TfTimeSeries::mDrawLinesClick()
{
    applyDrawingSetting();
    xygTimeSeriesResize();
    xygTimeSeries->redraw();
}

void TfTimeSeries::mDrawPointsClick()
{
    mDrawLinesClick();
}

void TfTimeSeries::mMonochromeClick()
{
    applyColourSetting();
    xygTimeSeriesResize();
    xygTimeSeries->redraw();
}

void TfTimeSeries::mGridClick()
{
    applyGridSetting();
    xygTimeSeriesResize();
    xygTimeSeries->redraw();
}

void TfTimeSeries::xygTimeSeriesResize()
{
    const QListWidget* list = tsSeries->lbSeries;
    const QFontMetrics metrics(list->font());
    int widest = 0;
    for (int row = 0; row < list->count(); ++row)
        widest = std::max(
            widest, metrics.horizontalAdvance(list->item(row)->text() + QLatin1Char('x')));
    xygTimeSeries->setLegendContents(widest, list->count(), tsSeries->itemHeight(), list->font());
}

// ---- Drawing -------------------------------------------------------------

void TfTimeSeries::flush()
{
    // The graph is out of sight while the window is hidden or shows the
    // Series page; showing it draws everything.
    if (isVisible() && xygTimeSeries->hasPendingSamples())
        xygTimeSeries->redraw();
}

void TfTimeSeries::samplesCleared()
{
    xygTimeSeries->resetSamples();
    xygTimeSeriesResize();
    xygTimeSeries->redraw();
}

void TfTimeSeries::prepareOutput()
{
    xygTimeSeries->catchUp();
    if (xygTimeSeries->autoScaling())
        xygTimeSeries->rescale();
}

// ---- Commands ------------------------------------------------------------

void TfTimeSeries::mClearClick()
{
    run([this] { m_table.clearSamples(); });
}

void TfTimeSeries::saveGraph(const QString& fileName, GraphOutput::Format format)
{
    prepareOutput();
    GraphOutput::save(*xygTimeSeries, fileName, format, Title);
}

void TfTimeSeries::mCopyClick()
{
    run([this] {
        prepareOutput();
        QGuiApplication::clipboard()->setMimeData(GraphOutput::mimeData(*xygTimeSeries, Title));
    });
}

void TfTimeSeries::mPrintClick()
{
    run([this] {
        QPrinter printer;
        printer.setDocName(Title);
        if (!m_lastPrintFile.isEmpty()) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(m_lastPrintFile);
        }
        if (!m_printDialog || !m_printDialog(printer))
            return;
        if (printer.outputFormat() == QPrinter::PdfFormat)
            m_lastPrintFile = printer.outputFileName();
        prepareOutput();
        GraphOutput::print(*xygTimeSeries, printer, Title);
    });
}

void TfTimeSeries::mSaveAsClick()
{
    run([this] {
        if (sdSaveAs->exec() != QDialog::Accepted)
            return;
        const QString fileName = sdSaveAs->selectedFiles().value(0);
        if (fileName.isEmpty())
            return;
        m_saveAsFile = fileName;
        saveGraph(
            fileName, formatOf(fileName, SaveAsFilters.indexOf(sdSaveAs->selectedNameFilter())));
    });
}

void TfTimeSeries::mExportDataClick()
{
    run([this] {
        if (m_pause)
            m_pause();
        if (sdExportData->exec() != QDialog::Accepted)
            return;
        const QString fileName = sdExportData->selectedFiles().value(0);
        if (fileName.isEmpty())
            return;
        m_exportFile = fileName;
        m_recorder.exportTimeSeries(fileName, TimeSeriesExport::AskToAppend, -1.0, -1.0);
    });
}

void TfTimeSeries::Help1Click()
{
    run([this] {
        if (m_help)
            m_help(HelpKey);
    });
}

void TfTimeSeries::mCloseClick()
{
    close();
}

// ---- Window events -------------------------------------------------------

void TfTimeSeries::FormShow()
{
    applyGridSetting();
    applyColourSetting();
    applyDrawingSetting();
    xygTimeSeriesResize();
    FormResize();
    if (QWidget* control
        = m_activeControl.isEmpty() ? nullptr : findChild<QWidget*>(m_activeControl))
        control->setFocus();
    xygTimeSeries->redraw();
}

void TfTimeSeries::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    FormShow();
}

void TfTimeSeries::hideEvent(QHideEvent* event)
{
    QMainWindow::hideEvent(event);
    if (event->spontaneous())
        return;
    const QWidget* focus = focusWidget();
    m_activeControl = focus ? focus->objectName() : QString();
    saveDisplaySettings();
}

void TfTimeSeries::closeEvent(QCloseEvent* event)
{
    // FormClose: the main window unchecks its command and hides the window.
    event->accept();
    emit visibilityChangedByUser(false);
}

// ---- Display settings ----------------------------------------------------

void TfTimeSeries::restoreDisplaySettings()
{
    QSettings settings(QStringLiteral("Tessra"), QStringLiteral("Tessra"));
    settings.beginGroup(SettingsGroup);
    mDrawLines->setChecked(settings.value(DrawLinesKey, true).toBool());
    mDrawPoints->setChecked(settings.value(DrawPointsKey, false).toBool());
    mMonochrome->setChecked(settings.value(MonochromeKey, false).toBool());
    mGrid->setChecked(settings.value(GridKey, false).toBool());
    const int page = settings.value(PageKey, GraphPageIndex).toInt();
    PageControl1->setCurrentIndex(page == SeriesPageIndex ? SeriesPageIndex : GraphPageIndex);
    m_activeControl = settings.value(ActiveControlKey).toString();

    // The filter first: choosing a filter changes the suffix of the name.
    const QString filter = settings.value(SaveAsFilterKey).toString();
    if (SaveAsFilters.contains(filter)) {
        sdSaveAs->selectNameFilter(filter);
        sdSaveAs->setDefaultSuffix(SaveAsSuffixes.value(SaveAsFilters.indexOf(filter)));
    }
    m_saveAsFile = settings.value(SaveAsFileKey).toString();
    if (!m_saveAsFile.isEmpty())
        sdSaveAs->selectFile(m_saveAsFile);
    m_exportFile = settings.value(ExportFileKey).toString();
    if (!m_exportFile.isEmpty())
        sdExportData->selectFile(m_exportFile);

    const QByteArray geometry = settings.value(GeometryKey).toByteArray();
    if (geometry.isEmpty() || !restoreGeometry(geometry))
        resize(DefaultWidth, DefaultHeight);
    m_settingsRestored = true;
}

void TfTimeSeries::saveDisplaySettings() const
{
    QSettings settings(QStringLiteral("Tessra"), QStringLiteral("Tessra"));
    settings.beginGroup(SettingsGroup);
    settings.setValue(GeometryKey, saveGeometry());
    settings.setValue(PageKey, PageControl1->currentIndex());
    settings.setValue(ActiveControlKey, m_activeControl);
    settings.setValue(DrawLinesKey, mDrawLines->isChecked());
    settings.setValue(DrawPointsKey, mDrawPoints->isChecked());
    settings.setValue(MonochromeKey, mMonochrome->isChecked());
    settings.setValue(GridKey, mGrid->isChecked());
    settings.setValue(SaveAsFileKey, m_saveAsFile);
    settings.setValue(SaveAsFilterKey, sdSaveAs->selectedNameFilter());
    settings.setValue(ExportFileKey, m_exportFile);
}

} // namespace tessra
