#pragma once

#include <QMainWindow>

#include <functional>

#include "GraphOutput.h"
#include "StandardError.h"

class QAction;
class QFileDialog;
class QPrinter;
class QTabWidget;
class QToolButton;

namespace tessra {

class SampleGraph;
class SeriesChoice;
class SeriesPage;
class SeriesTable;
class TimeSeriesGraph;
class TimeSeriesRecorder;

/// The "Time Series" window: the user chooses the series the recorder keeps
/// (Series page) and sees them drawn against the tick (Graph page). A view
/// over the recorder's series table and the series choice: every change of
/// either, whoever makes it (this window, a settings file, automation), shows
/// here through their signals, and a click in the operation or subject list
/// chooses in the series choice. The graph draws the table's sample lists
/// directly.
///
/// Drawing is deferred: recording adds samples without drawing anything;
/// flush(), which the display refresh calls, draws what was added since, and
/// only while the window is shown. A hidden window does no drawing work and,
/// shown again, draws everything it holds.
///
/// Created once at start-up; closing only hides it and emits
/// visibilityChangedByUser(false) so that the main window can uncheck its
/// command. The recorder must outlive the window.
class TfTimeSeries : public QMainWindow {
    Q_OBJECT
public:
    /// Opens the help page registered under `key` ("fTimeSeries"); may throw CommandError.
    using HelpHandler = std::function<void(const QString& key)>;
    /// Pauses the run and waits until it has stopped.
    using PauseHandler = std::function<void()>;
    /// Lets the user choose the printer (or a PDF file); true to print.
    using PrintDialog = std::function<bool(QPrinter& printer)>;

    static constexpr int MinimumWidth = 396;
    static constexpr int MinimumHeight = 320;

    /// `recorder` and `choice` (the choice of the next series, over the
    /// recorder's table) must outlive the window.
    TfTimeSeries(TimeSeriesRecorder& recorder, SeriesChoice& choice, QWidget* parent = nullptr);
    ~TfTimeSeries() override;

    /// Draws the samples recorded since the last flush. Does nothing while
    /// the window is hidden or shows its Series page.
    void flush();

    /// Help1Click calls `handler` with "fTimeSeries"; without one it does nothing.
    void setHelpHandler(HelpHandler handler) { m_help = std::move(handler); }
    /// Errors of the window's commands go to `reporter`; by default the
    /// standard error box.
    void setErrorReporter(ErrorReporter reporter) { m_reportError = std::move(reporter); }
    /// Export Data calls `handler` before anything else, to stop the run.
    void setPauseHandler(PauseHandler handler) { m_pause = std::move(handler); }
    /// Print asks with `dialog` first; by default the standard print dialog
    /// (objectName "pdPrint"), which offers the printers and a PDF file.
    void setPrintDialog(PrintDialog dialog) { m_printDialog = std::move(dialog); }

    /// Commands. Each reports its failure through the error reporter.
    void bAddClick();
    void bRemoveClick();
    void mClearClick();
    void mCopyClick();
    void mPrintClick();
    void mSaveAsClick();
    void mExportDataClick();
    void Help1Click();
    void mCloseClick();

    /// Writes the graph, as it is drawn now, to `fileName`. Throws CommandError.
    void saveGraph(const QString& fileName, GraphOutput::Format format);

    /// The graph control (objectName "xygTimeSeries").
    TimeSeriesGraph* graph() const { return xygTimeSeries; }
    /// The graph series of `slot`, or null before its first use.
    SampleGraph* graphSeries(int slot) const;

signals:
    /// The user closed the window (its close button or Close Window).
    void visibilityChangedByUser(bool visible);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildActions();
    void buildMenus();
    QWidget* buildToolBar();
    QWidget* buildGraph();
    QToolButton* toolButton(const QString& name, QAction* action);
    QAction* action(const QString& name, const QString& text, const QString& caption,
        const QString& hint, const QString& icon);
    void connectTable();

    void FormShow();
    void FormResize();
    void xygTimeSeriesResize();
    void lbOperationChange();
    void lbStatesChange();
    void showChoice();
    void mDrawLinesClick();
    void mDrawPointsClick();
    void mMonochromeClick();
    void mGridClick();

    void applyDrawingSetting();
    void applyColourSetting();
    void applyGridSetting();
    void applySeriesColour(int slot);
    void applySeriesStyle(int slot);
    void updateButtons();

    void seriesAdded(int slot);
    void seriesRemoved(int slot, int row);
    void samplesCleared();

    void prepareOutput();

    template <class Command> void run(Command command);
    void restoreDisplaySettings();
    void saveDisplaySettings() const;

    TimeSeriesRecorder& m_recorder;
    SeriesTable& m_table;
    SeriesChoice& m_choice;
    HelpHandler m_help;
    ErrorReporter m_reportError;
    PauseHandler m_pause;
    PrintDialog m_printDialog;
    QString m_lastPrintFile;

    QString m_activeControl;
    QString m_saveAsFile;
    QString m_exportFile;
    bool m_settingsRestored = false;

    QAction* mExportData = nullptr;
    QAction* mClose = nullptr;
    QAction* mSaveAs = nullptr;
    QAction* mPrint = nullptr;
    QAction* mCopy = nullptr;
    QAction* mClear = nullptr;
    QAction* mDrawLines = nullptr;
    QAction* mDrawPoints = nullptr;
    QAction* mMonochrome = nullptr;
    QAction* mGrid = nullptr;
    QAction* Help1 = nullptr;

    QTabWidget* PageControl1 = nullptr;
    SeriesPage* tsSeries = nullptr;
    QWidget* tsGraph = nullptr;
    TimeSeriesGraph* xygTimeSeries = nullptr;
    QFileDialog* sdSaveAs = nullptr;
    QFileDialog* sdExportData = nullptr;
};

} // namespace tessra
