#include "SeriesPage.h"

#include <QEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyledItemDelegate>

#include "GraphLayout.h"
#include "SeriesTable.h"

namespace tessra {

namespace {

/// Gives every row of a list the page's item height, which the legend's
/// layout counts on.
class RowHeightDelegate : public QStyledItemDelegate {
public:
    RowHeightDelegate(const SeriesPage* page, QObject* parent)
        : QStyledItemDelegate(parent)
        , m_page(page)
    {
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(m_page->itemHeight());
        return size;
    }

private:
    const SeriesPage* m_page;
};

QListWidget* makeList(const QString& name, QWidget* parent)
{
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setUniformItemSizes(true);
    return list;
}

QLabel* makeLabel(const QString& name, const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

} // namespace

SeriesPage::SeriesPage(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("tsSeries"));
    Label1 = makeLabel(QStringLiteral("Label1"), QStringLiteral("Operation:"), this);
    lbOperation = makeList(QStringLiteral("lbOperation"), this);
    lbOperation->addItems(SeriesTable::operationNames());
    lState = makeLabel(QStringLiteral("lState"), QStringLiteral("State:"), this);
    lbStates = makeList(QStringLiteral("lbStates"), this);
    bAdd = new QPushButton(QStringLiteral("Add >"), this);
    bAdd->setObjectName(QStringLiteral("bAdd"));
    bRemove = new QPushButton(QStringLiteral("< Remove"), this);
    bRemove->setObjectName(QStringLiteral("bRemove"));
    bRemove->setEnabled(false);
    lSeries = makeLabel(QStringLiteral("lSeries"), QStringLiteral("Series:"), this);
    lbSeries = makeList(QStringLiteral("lbSeries"), this);
    lbSeries->setItemDelegate(new RowHeightDelegate(this, lbSeries));
    Label1->setBuddy(lbOperation);
    lState->setBuddy(lbStates);
    lSeries->setBuddy(lbSeries);
    setTabOrder(lbOperation, lbStates);
    setTabOrder(lbStates, bAdd);
    setTabOrder(bAdd, bRemove);
    setTabOrder(bRemove, lbSeries);
}

int SeriesPage::itemHeight() const
{
    return std::max(DesignItemHeight, lbSeries->fontMetrics().height());
}

void SeriesPage::layOut()
{
    // The labels are as tall as the widest of them needs; every label gets one size.
    QSize labelSize;
    for (const QLabel* label : { Label1, lState, lSeries })
        labelSize = labelSize.expandedTo(label->sizeHint());
    const QSize buttonSize
        = QSize(ButtonWidth, ButtonHeight).expandedTo(bRemove->minimumSizeHint());
    const SeriesPageGeometry g = layoutSeriesPage(size(), labelSize, buttonSize);
    Label1->setGeometry(g.operationLabel);
    lbOperation->setGeometry(g.operationList);
    lState->setGeometry(g.stateLabel);
    lbStates->setGeometry(g.stateList);
    bAdd->setGeometry(g.addButton);
    bRemove->setGeometry(g.removeButton);
    lSeries->setGeometry(g.seriesLabel);
    lbSeries->setGeometry(g.seriesList);
}

void SeriesPage::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layOut();
}

void SeriesPage::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        layOut();
}

} // namespace tessra
