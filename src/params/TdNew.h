#pragma once

#include <QDialog>
#include <functional>

#include "CommandError.h"
#include "ModelApi.h"
#include "ParameterEditor.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class QTabWidget;
class QTableWidget;

namespace tessra {

class ParamValueDelegate;

/// The modal "New Simulation" dialog: lists the model's parameters with their
/// labels and values, lets the user edit the values as text, has every edit
/// judged and described by the model library, and on OK hands every value
/// back to the model library. It is created once and shown for every New
/// command; each showing reads labels and values afresh.
///
/// The New command pauses the run, calls execute() and creates the new
/// simulation only when it returns true. The functions the program exports to
/// models read isShowing() and candidateValue() (or editor()).
class TdNew : public QDialog {
    Q_OBJECT
public:
    /// Opens the help page registered under `key` ("dNew"); may throw CommandError.
    using HelpHandler = std::function<void(const QString& key)>;
    /// Shows a failed command's error to the user.
    using ErrorReporter = std::function<void(const CommandError& error)>;

    explicit TdNew(ModelApi model = {}, QWidget* parent = nullptr);
    ~TdNew() override;

    /// Shows the dialog modally. True when it closed with OK: every value has
    /// then been handed to the model library. False for Cancel, Esc or closing.
    bool execute();

    /// True from showing until closing.
    bool isShowing() const { return m_editor.isOpen(); }
    /// The candidate value of parameter `index` while showing; see
    /// ParameterEditor::candidateValue for the answers while closed or for an
    /// index outside the parameters.
    double candidateValue(int index) const { return m_editor.candidateValue(index); }
    const ParameterEditor& editor() const { return m_editor; }

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
    void HelpBtnClick();
    void describeCell(int row, const QString& text);
    bool sgParamsCellValidate(int row, const QString& text) const;
    void placeEditorOnCurrentCell();
    void focusNextAfterGrid();
    void fitNameColumn();
    void gridFocusChanged(QWidget* old, QWidget* now);
    QStringList valueTexts() const;
    void reportLater(const CommandError& error);

    void restoreDisplaySettings();
    void saveDisplaySettings() const;

    ParameterEditor m_editor;
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
