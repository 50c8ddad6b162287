#include "ParamGridDelegates.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QTextDocument>

#include "Beep.h"

namespace tessra {

namespace {
// Set on an editor until the view has put the cell's text into it.
constexpr char FreshEditor[] = "tessraFreshEditor";
constexpr qreal LabelMargin = 2;
} // namespace

void ParamLabelDelegate::setUpDocument(
    QTextDocument& document, const QString& label, const QFont& font)
{
    document.setDefaultFont(font);
    document.setDocumentMargin(LabelMargin);
    if (Qt::mightBeRichText(label))
        document.setHtml(label);
    else
        document.setPlainText(label);
}

void ParamLabelDelegate::paint(
    QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    const QString label = cell.text;

    painter->save();
    painter->fillRect(cell.rect, cell.palette.brush(QPalette::Active, QPalette::Button));
    painter->setClipRect(cell.rect);

    QTextDocument document;
    setUpDocument(document, label, cell.font);
    const qreal top = cell.rect.top() + (cell.rect.height() - document.size().height()) / 2;
    painter->translate(cell.rect.left(), std::max<qreal>(cell.rect.top(), top));

    QAbstractTextDocumentLayout::PaintContext context;
    context.palette = cell.palette;
    context.palette.setColor(
        QPalette::Text, cell.palette.color(QPalette::Active, QPalette::ButtonText));
    document.documentLayout()->draw(painter, context);
    painter->restore();
}

QSize ParamLabelDelegate::sizeHint(
    const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    QTextDocument document;
    setUpDocument(document, cell.text, cell.font);
    return document.size().toSize();
}

ParamValueDelegate::ParamValueDelegate(AcceptanceCheck accepts, QObject* parent)
    : QStyledItemDelegate(parent)
    , m_accepts(std::move(accepts))
{
}

QWidget* ParamValueDelegate::createEditor(
    QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const
{
    auto* editor = new QLineEdit(parent);
    editor->setFrame(false);
    editor->setProperty(FreshEditor, true);
    // Signals are emitted on behalf of the delegate; createEditor is const
    // only because the view calls it so.
    auto* self = const_cast<ParamValueDelegate*>(this);
    const QPersistentModelIndex cell(index);
    connect(editor, &QLineEdit::textEdited, self, [self, cell](const QString& text) {
        if (cell.isValid() && !text.isEmpty())
            emit self->textTyped(cell.row(), text);
    });
    m_editor = editor;
    return editor;
}

void ParamValueDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (!line)
        return;
    const QString text = index.data(Qt::EditRole).toString();
    if (line->text() != text)
        line->setText(text);
    if (line->property(FreshEditor).toBool()) {
        line->setProperty(FreshEditor, false);
        line->selectAll();
        emit const_cast<ParamValueDelegate*>(this)->editorPlaced(index.row(), text);
    }
}

void ParamValueDelegate::setModelData(
    QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    m_lastCommitRefused = false;
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (!line)
        return;
    const QString before = index.data(Qt::EditRole).toString();
    const QString text = line->text();
    if (text == before)
        return;
    if (!m_accepts || m_accepts(index.row(), text)) {
        model->setData(index, text, Qt::EditRole);
        return;
    }
    m_lastCommitRefused = true;
    beep();
    line->setText(before);
    line->selectAll();
}

void ParamValueDelegate::destroyEditor(QWidget* editor, const QModelIndex& index) const
{
    if (editor == m_editor)
        m_editor = nullptr;
    QStyledItemDelegate::destroyEditor(editor, index);
}

void ParamValueDelegate::commitOpenEditor()
{
    if (m_editor)
        emit commitData(m_editor);
}

void ParamValueDelegate::discardOpenEditor()
{
    if (m_editor)
        emit closeEditor(m_editor, NoHint);
}

bool ParamValueDelegate::eventFilter(QObject* object, QEvent* event)
{
    auto* line = qobject_cast<QLineEdit*>(object);
    if (line && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            m_lastCommitRefused = false;
            emit commitData(line);
            if (!m_lastCommitRefused)
                emit enterAccepted();
            return true;
        }
        if (key == Qt::Key_Escape) {
            emit escapePressed();
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

} // namespace tessra
