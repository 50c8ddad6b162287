#pragma once

#include <QLineEdit>
#include <QPointer>
#include <QStyledItemDelegate>
#include <functional>

class QTextDocument;

namespace tessra {

/// Draws a parameter's display label in the name column of the parameter
/// grid. The label is shown as the model gives it; a label that carries HTML
/// markup is rendered formatted (<i>, <sub>, entities ...), any other text as
/// plain text. The cells look like a fixed column.
class ParamLabelDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    /// Lays `label` out in `document` the way the cell shows it.
    static void setUpDocument(QTextDocument& document, const QString& label, const QFont& font);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
        const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

/// Edits the value column of the parameter grid as free text and commits
/// edits the way the New Simulation dialog wants them:
/// - placing the editor on a cell reports editorPlaced (also for an empty cell);
/// - every change the user makes to a non-empty text reports textTyped;
/// - committing a changed text asks the acceptance check; a refused text
///   beeps and the cell (and the editor) go back to the text it had before;
/// - Enter commits; an accepted (or unchanged) value reports enterAccepted,
///   a refused one keeps the editor open; the key never reaches the dialog;
/// - Esc reports escapePressed instead of merely closing the editor.
class ParamValueDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    /// Whether the model accepts `text` for the parameter in grid row `row`.
    using AcceptanceCheck = std::function<bool(int row, const QString& text)>;

    explicit ParamValueDelegate(AcceptanceCheck accepts, QObject* parent = nullptr);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
        const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(
        QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override;

    /// The editor open now, or null.
    QLineEdit* openEditor() const { return m_editor; }
    /// Commits the open editor's text as leaving the cell would.
    void commitOpenEditor();
    /// Closes the open editor without committing its text.
    void discardOpenEditor();

signals:
    void editorPlaced(int row, const QString& text);
    void textTyped(int row, const QString& text);
    void enterAccepted();
    void escapePressed();

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    AcceptanceCheck m_accepts;
    mutable QPointer<QLineEdit> m_editor;
    mutable bool m_lastCommitRefused = false;
};

} // namespace tessra
