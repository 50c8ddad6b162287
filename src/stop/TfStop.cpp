#include "TfStop.h"

#include <QAction>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "Beep.h"
#include "StopConditions.h"

namespace tessra {

namespace {

const char* const SettingsGroup = "StopConditions";
const char* const GeometryKey = "geometry";
constexpr int MinimumWidth = 420;
constexpr int MinimumHeight = 270;
constexpr int ColumnPadding = 10;

QLabel* centredLabel(const QString& text, const char* name, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setAlignment(Qt::AlignHCenter);
    return label;
}

QRadioButton* comparatorButton(
    const QString& caption, const QString& hint, const char* name, QWidget* parent)
{
    auto* button = new QRadioButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(hint);
    QFont font = button->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.4);
    button->setFont(font);
    return button;
}

QPushButton* pushButton(const QString& caption, const char* name, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

bool sameValue(double a, double b)
{
    return a == b && std::signbit(a) == std::signbit(b);
}

} // namespace

TfStop::TfStop(StopConditions& conditions, QWidget* parent)
    : QWidget(parent, Qt::Tool)
    , m_conditions(conditions)
{
    setObjectName(QStringLiteral("TfStop"));
    setWindowTitle(tr("Stop Conditions"));
    setMinimumSize(MinimumWidth, MinimumHeight);
    buildControls();
    connectControls();

    showNames();
    showInputs();
    m_value->setText(m_conditions.inputText());
    m_shownValue = m_conditions.inputValue();
    showConditions();
    fitColumns();
    showEnabled(m_conditions.isEnabled());
    restorePlacement();
}

TfStop::~TfStop()
{
    savePlacement();
}

void TfStop::mirrorSwitch(QAction* menuItem)
{
    menuItem->setCheckable(true);
    menuItem->setChecked(m_conditions.isEnabled());
    connect(&m_conditions, &StopConditions::enabledChanged, menuItem, &QAction::setChecked);
    // A click on a checkable item toggles its mark; the switch decides it.
    connect(menuItem, &QAction::toggled, this, [this, menuItem](bool checked) {
        if (checked != m_conditions.isEnabled())
            menuItem->setChecked(m_conditions.isEnabled());
    });
}

void TfStop::showEvent(QShowEvent* event)
{
    m_conditions.fillNames();
    QWidget::showEvent(event);
}

void TfStop::hideEvent(QHideEvent* event)
{
    savePlacement();
    QWidget::hideEvent(event);
}

void TfStop::buildControls()
{
    m_enabled = new QGroupBox(tr("Stop simulation on any of the following conditions"), this);
    m_enabled->setObjectName(QStringLiteral("cgbEnabled"));
    m_enabled->setCheckable(true);
    m_enabled->setAlignment(Qt::AlignRight);

    auto* inner = new QHBoxLayout(m_enabled);
    inner->setContentsMargins(15, 15, 8, 15);
    inner->addWidget(buildGridSide(), 1);
    inner->addWidget(buildInputSide(), 0);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(8, 17, 8, 8);
    outer->addWidget(m_enabled);
}

QWidget* TfStop::buildGridSide()
{
    auto* side = new QWidget(m_enabled);
    auto* layout = new QVBoxLayout(side);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(centredLabel(tr("Conditions"), "lConditions", side));

    m_grid = new QTableWidget(side);
    m_grid->setObjectName(QStringLiteral("sgStopConditions"));
    m_grid->setColumnCount(3);
    m_grid->horizontalHeader()->hide();
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->setStretchLastSection(false);
    m_grid->horizontalHeader()->setDefaultSectionSize(64);
    m_grid->setShowGrid(false);
    m_grid->setWordWrap(false);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 6);
    m_grid->setMinimumWidth(80);
    layout->addWidget(m_grid, 1);
    return side;
}

QWidget* TfStop::buildInputSide()
{
    auto* side = new QWidget(m_enabled);
    auto* layout = new QVBoxLayout(side);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(centredLabel(tr("Add new condition"), "lAddNew", side));

    auto* row = new QHBoxLayout;
    auto* buttons = new QVBoxLayout;
    m_add = pushButton(tr("< Add"), "bAdd", side);
    m_remove = pushButton(tr("Remove >"), "bRemove", side);
    m_removeAll = pushButton(tr("Remove All >>"), "bRemoveAll", side);
    buttons->addStretch(1);
    buttons->addWidget(m_add);
    buttons->addWidget(m_remove);
    buttons->addWidget(m_removeAll);
    buttons->addStretch(1);
    row->addLayout(buttons);

    auto* inputs = new QVBoxLayout;
    m_name = new QComboBox(side);
    m_name->setObjectName(QStringLiteral("cbName"));
    m_name->setEditable(false);
    m_name->setMaxVisibleItems(10);
    // The inputs keep one width; a wider window widens the list instead.
    const int inputWidth = fontMetrics().horizontalAdvance(QStringLiteral("000000.000000")) + 12;
    m_name->setFixedWidth(inputWidth);
    m_greaterEqual = comparatorButton(
        QStringLiteral(">="), tr("Is greater than or equal to"), "rbGreaterEqual", side);
    m_equal = comparatorButton(QStringLiteral("  ="), tr("Exactly equals"), "rbEqual", side);
    m_lessEqual = comparatorButton(
        QStringLiteral("<="), tr("Is less than or equal to"), "rbLessEqual", side);
    m_value = new QLineEdit(side);
    m_value->setObjectName(QStringLiteral("feValue"));
    m_value->setAlignment(Qt::AlignRight);
    m_value->setFixedWidth(inputWidth);
    inputs->addWidget(m_name);
    inputs->addWidget(m_greaterEqual);
    inputs->addWidget(m_equal);
    inputs->addWidget(m_lessEqual);
    inputs->addWidget(m_value);
    inputs->addStretch(1);
    row->addLayout(inputs, 1);

    layout->addLayout(row, 1);
    return side;
}

void TfStop::connectControls()
{
    connect(m_enabled, &QGroupBox::clicked, this, &TfStop::cgbEnabledClick);
    connect(m_add, &QPushButton::clicked, this, &TfStop::bAddClick);
    connect(m_remove, &QPushButton::clicked, this, &TfStop::bRemoveClick);
    connect(m_removeAll, &QPushButton::clicked, this, &TfStop::bRemoveAllClick);
    connect(m_value, &QLineEdit::editingFinished, this, &TfStop::feValueExit);
    connect(m_name, &QComboBox::currentIndexChanged, this,
        [this](int index) { m_conditions.chooseName(index); });
    const auto choose = [this](QRadioButton* button, StopConditions::Comparator comparator) {
        connect(button, &QRadioButton::toggled, this, [this, comparator](bool on) {
            if (on)
                m_conditions.chooseComparator(comparator);
        });
    };
    choose(m_greaterEqual, StopConditions::GreaterOrEqual);
    choose(m_equal, StopConditions::Equal);
    choose(m_lessEqual, StopConditions::LessOrEqual);

    connect(&m_conditions, &StopConditions::enabledChanged, this, &TfStop::showEnabled);
    connect(&m_conditions, &StopConditions::namesChanged, this, &TfStop::showNames);
    connect(&m_conditions, &StopConditions::inputsChanged, this, &TfStop::showInputs);
    connect(&m_conditions, &StopConditions::conditionsChanged, this, [this] {
        showConditions();
        fitColumns();
    });
}

void TfStop::bAddClick()
{
    // A typed value counts even when the edit has not lost the focus yet.
    if (m_value->text() != m_conditions.inputText())
        feValueExit();
    m_conditions.addChosen();
    const int last = static_cast<int>(m_conditions.conditions().size()) - 1;
    m_grid->setCurrentCell(last, 0);
    m_grid->scrollToBottom();
}

void TfStop::bRemoveClick()
{
    const int row = m_grid->currentRow();
    if (row >= 0)
        m_conditions.removeCondition(row);
}

void TfStop::bRemoveAllClick()
{
    m_conditions.removeAllConditions();
}

void TfStop::cgbEnabledClick(bool checked)
{
    m_conditions.setEnabled(checked);
}

void TfStop::feValueExit()
{
    if (!m_conditions.setInputText(m_value->text()))
        beep();
    m_value->setText(m_conditions.inputText());
    m_shownValue = m_conditions.inputValue();
}

void TfStop::showEnabled(bool enabled)
{
    {
        // Checking the box enables or disables everything inside it.
        const QSignalBlocker block(m_enabled);
        m_enabled->setChecked(enabled);
    }
    if (enabled && m_grid->currentRow() >= 0)
        m_grid->selectRow(m_grid->currentRow());
    else
        m_grid->clearSelection();
}

void TfStop::showNames()
{
    const QSignalBlocker block(m_name);
    m_name->clear();
    m_name->addItems(m_conditions.names());
    m_name->setCurrentIndex(m_conditions.chosenName());
}

void TfStop::showInputs()
{
    {
        const QSignalBlocker block(m_name);
        m_name->setCurrentIndex(m_conditions.chosenName());
    }
    switch (m_conditions.chosenComparator()) {
    case StopConditions::LessOrEqual:
        m_lessEqual->setChecked(true);
        break;
    case StopConditions::Equal:
        m_equal->setChecked(true);
        break;
    case StopConditions::GreaterOrEqual:
        m_greaterEqual->setChecked(true);
        break;
    }
    // Only a value the program set replaces the edit's text, so that choosing
    // a name does not throw away a number being typed.
    if (!sameValue(m_conditions.inputValue(), m_shownValue)) {
        m_value->setText(m_conditions.inputText());
        m_shownValue = m_conditions.inputValue();
    }
}

void TfStop::showConditions()
{
    const auto& rows = m_conditions.conditions();
    const int count = static_cast<int>(rows.size());
    const int current = m_grid->currentRow();
    // An empty list shows one blank row, which is no condition.
    m_grid->setRowCount(std::max(count, 1));
    for (int r = 0; r < m_grid->rowCount(); ++r) {
        const QStringList texts = r < count
            ? QStringList { rows[r].name, rows[r].comparator, rows[r].value }
            : QStringList { QString(), QString(), QString() };
        for (int c = 0; c < 3; ++c)
            m_grid->setItem(r, c, new QTableWidgetItem(texts[c]));
    }
    m_grid->setCurrentCell(std::clamp(current, 0, m_grid->rowCount() - 1), 0);
    if (!m_conditions.isEnabled())
        m_grid->clearSelection();
}

void TfStop::fitColumns()
{
    const auto& rows = m_conditions.conditions();
    if (rows.isEmpty())
        return;
    const QFontMetrics metrics(m_grid->font());
    int widths[3] = { 0, 0, 0 };
    for (const StopConditions::Condition& row : rows) {
        widths[0] = std::max(widths[0], metrics.horizontalAdvance(row.name));
        widths[1] = std::max(widths[1], metrics.horizontalAdvance(row.comparator));
        widths[2] = std::max(widths[2], metrics.horizontalAdvance(row.value));
    }
    for (int c = 0; c < 3; ++c)
        m_grid->setColumnWidth(c, widths[c] + ColumnPadding);
}

void TfStop::restorePlacement()
{
    QSettings settings(QStringLiteral("Tessra"), QStringLiteral("Tessra"));
    settings.beginGroup(QLatin1String(SettingsGroup));
    const QByteArray geometry = settings.value(QLatin1String(GeometryKey)).toByteArray();
    if (geometry.isEmpty() || !restoreGeometry(geometry))
        resize(MinimumWidth, MinimumHeight);
}

void TfStop::savePlacement() const
{
    QSettings settings(QStringLiteral("Tessra"), QStringLiteral("Tessra"));
    settings.beginGroup(QLatin1String(SettingsGroup));
    settings.setValue(QLatin1String(GeometryKey), saveGeometry());
}

} // namespace tessra
