#pragma once

#include <QDialog>
#include <functional>

#include "CommandError.h"
#include "NewSimulationCandidates.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class QTabWidget;
class QTableWidget;
class QTableWidgetItem;

namespace tessra {

class ParamValueDelegate;

/// The modal "New Simulation" dialog: lists the model's parameters with their
/// labels and values, lets the user edit the values as text, has every edit
/// judged and described by the model library, and on OK hands every value
/// back to the model library. It is created once and shown for every New
/// command; each showing reads labels and values afresh.
///
/// A view of the core's NewSimulationCandidates: showing opens them and
/// closing closes them; the grid shows their rows and follows
/// valueTextChanged(), the description panel follows descriptionChanged();
/// every describe step, commit and OK goes through them. The functions the
/// program exports to models read the same object.
///
/// The New command pauses the run, calls execute() and creates the new
/// simulation only when it returns true.
class TdNew : public QDialog {
    Q_OBJECT
public:
    /// Opens the help page registered under `key` ("dNew"); may throw CommandError.
    using HelpHandler = std::function<void(const QString& key)>;
    /// Shows a failed command's error to the user.
    using ErrorReporter = std::function<void(const CommandError& error)>;

    /// `candidates` must outlive the dialog.
    explicit TdNew(NewSimulationCandidates& candidates, QWidget* parent = nullptr);
    ~TdNew() override;

    /// Shows the dialog modally. True when it closed with OK: every value has
    /// then been handed to the model library. False for Cancel, Esc or closing.
    bool execute();

    /// The "&Help" button calls `handler` with the key "dNew". Without a
    /// handler the button does nothing.
    void setHelpHandler(HelpHandler handler) { m_help = std::move(handler); }
    /// Errors of the dialog's commands (a typed value the number conversion
    /// cannot read, a help page that cannot be opened) go to `reporter`. The
    /// default shows the standard error box: the message and ".", the
    /// application's title as caption, an error icon and OK.
    void setErrorReporter(ErrorReporter reporter) { m_reportError = std::move(reporter); }

    void setVisible(bool visible) override;

public slots:
    void accept() override;
    void reject() override;

protected:
    bool eventFilter(QObject* object, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildUi();
    QWidget* buildDescriptionPanel();
    QWidget* buildButtonBar();
    int designPixels(int pixels) const;

    void FormShow();
    void FormClose();
    void showRows();
    void showValueText(int index, const QString& text);
    void showDescription();
    void valueItemChanged(QTableWidgetItem* item);
    void HelpBtnClick();
    void describeCell(int row, const QString& text);
    bool sgParamsCellValidate(int row, const QString& text);
    void placeEditorOnCurrentCell();
    void focusNextAfterGrid();
    void fitNameColumn();
    void gridFocusChanged(QWidget* old, QWidget* now);
    void reportLater(const CommandError& error);

    void restoreDisplaySettings();
    void saveDisplaySettings() const;

    NewSimulationCandidates& m_candidates;
    HelpHandler m_help;
    ErrorReporter m_reportError;
    int m_storedPageHeight = -1;

    QTabWidget* PageControl1 = nullptr;
    QTableWidget* sgParams = nullptr;
    QSplitter* Splitter1 = nullptr;
    QWidget* pAboutParam = nullptr;
    QLabel* lAboutParam = nullptr;
    QPlainTextEdit* mAboutParam = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    QPushButton* HelpBtn = nullptr;
    ParamValueDelegate* m_valueDelegate = nullptr;
};

} // namespace tessra
