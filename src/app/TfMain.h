#pragma once

#include "DisplaySettings.h"
#include "FrontEnd.h"
#include "MainActions.h"

#include <QMainWindow>
#include <QMessageBox>
#include <QStringList>

#include <functional>

class QLabel;
class QScrollArea;
class QSlider;
class QToolButton;

namespace tessra {

class Core;
class Dialogs;
class PortalView;
class SpaceKeyFilter;
class StatusBar;

/// The main window: menus, tool bar, portal and status bar over the front end's
/// operations. It reads the command line when created, restores its display settings
/// and loads the first model when first shown, and ends the program when it closes.
/// Its handlers ask the user (dialogs, message boxes) and then call FrontEnd; a handler
/// that fails shows the standard error display.
class TfMain : public QMainWindow {
    Q_OBJECT
public:
    /// `arguments` are the command-line arguments after the program path; `automated`
    /// tells whether the program was started for automation.
    TfMain(Core& core, const QStringList& arguments, bool automated, Dialogs& dialogs,
        QWidget* parent = nullptr);
    ~TfMain() override;

    FrontEnd& frontEnd() { return m_frontEnd; }
    const MainActions& actions() const { return m_actions; }
    PortalView& portal() { return *m_portal; }
    StatusBar& statusPanels() { return *m_status; }

    /// The New command asks this before a new simulation (the New Simulation dialog,
    /// modal; true for OK). Without one, New creates the simulation at once.
    void setNewSimulationDialog(std::function<bool(QWidget* parent)> ask);

    /// Where start-up's messages go in automation mode (the debug log). Started for
    /// automation, nobody may be there to press OK, so what the command line or the
    /// first model load would show in a message box (the usage box, an error reading
    /// the first settings file) goes to the standard error output and to `log`
    /// instead, and start-up goes on. Texts from before this was set are handed over
    /// at once.
    void setStartupLog(std::function<void(const QString& text)> log);

    /// Whether the first model load after the first show has finished (with or without
    /// a model, including the Load Model dialog of a failed load).
    bool isStartupDone() const { return m_startupDone; }
    /// The height the collapse toggle returns to (sbStatus.Tag).
    int collapseHeight() const { return m_collapseHeight; }
    /// The height of the collapsed window from its layout: menu, tool and status bars
    /// at their full heights and a strip of the portal between them.
    int collapsedHeight() const;

    // Handlers, named after their controls.
    void Exit1Click();
    void mLoadModelClick();
    void New1Click();
    /// Load Parameters, Save Parameters and Save Parameters As: pause, ask for the file
    /// (Save only when there is no current parameter file yet), then the front end's
    /// operation. A cancelled dialog changes nothing.
    void Load1Click();
    void Save1Click();
    void SaveAs1Click();
    /// "Stop &Conditions...": shows the stop-conditions dialog.
    void mStopConditionsClick();
    /// "Tessra Help" and the model's help page.
    void mProgramHelpClick();
    void mModelHelpClick();
    void Inspect1Click(bool checked);
    void mTimeSeriesClick(bool checked);
    void sbStatusDblClick();
    /// Stretch1Click, Zoom50Click ... Zoom800Click: set the zoom code and apply it.
    void setZoomCode(int code);
    /// Runs `command`; a CommandError it throws is shown with the standard error display.
    void guarded(const std::function<void()>& command);

    void setVisible(bool visible) override;

signals:
    /// isStartupDone() became true.
    void startupFinished();
    /// The window has closed; the program ends.
    void closed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate(const QStringList& arguments);
    void FormShow();
    bool FormCloseQuery();
    void FormClose();
    void loadStartupModel();
    void startupMessage(const QString& caption, const QString& text, QMessageBox::Icon icon);
    QWidget* createToolPanel();
    QToolButton* createToolButton(QAction* action, const char* name);
    void connectActions();
    void connectFrontEnd();
    void showFrameRate(int position);
    std::array<QAction*, 2> actionsOf(FrontEnd::Command command) const;
    void saveDisplaySettings();
    QString parameterFolder() const;

    Core& m_core;
    FrontEnd& m_frontEnd;
    Dialogs& m_dialogs;
    bool m_automated;
    MainActions m_actions;
    QSlider* m_frameRate = nullptr;
    QScrollArea* m_scrollArea = nullptr;
    PortalView* m_portal = nullptr;
    StatusBar* m_status = nullptr;
    SpaceKeyFilter* m_spaceFilter = nullptr;
    std::function<bool(QWidget*)> m_askNewSimulation;
    std::function<void(const QString&)> m_startupLog;
    QStringList m_pendingStartupLog;

    DisplaySettings m_restored;
    int m_collapseHeight = 0;
    bool m_shownOnce = false;
    bool m_startupDone = false;
    bool m_closeAgreed = false;
    bool m_settingsSaved = false;
};

} // namespace tessra
