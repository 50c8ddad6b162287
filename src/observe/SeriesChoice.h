#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

namespace tessra {

class SeriesTable;

/// First entry of `list` equal to `name` without regard to letter case (in the
/// user's locale), or -1: how series labels, operations and names are matched.
int findIgnoringCase(const QStringList& list, const QString& name);

/// The choice of the next series to plot: the chosen operation, the subjects
/// it can be applied to (the model's state names for a statistic, the
/// parameter names for Parameter), the chosen subject, and Add, which puts
/// the chosen pair in the series table.
///
/// The time-series window's operation and subject lists show this and follow
/// changed(); a click in them chooses here. Automation chooses here too, so
/// what a script selects shows in the window, visible or not, and what the
/// user selects is what a script's Add would see. Nothing is stored: every
/// program run starts with nothing chosen.
///
/// Who calls what: the front end's model load and new world call refresh();
/// the window calls chooseOperation(), chooseSubject() and add(); automation
/// calls chooseText() and add(). All on the GUI thread.
class SeriesChoice : public QObject {
    Q_OBJECT
public:
    /// `table` must outlive the choice.
    explicit SeriesChoice(SeriesTable& table, QObject* parent = nullptr);

    /// The operation names in code order (the operation list).
    static const QStringList& operationNames();

    /// The chosen operation code, -1 for none.
    int operation() const { return m_operation; }
    /// The subjects of the chosen operation, read from the model when it was
    /// chosen or refreshed; empty when none is chosen.
    const QStringList& subjects() const { return m_subjects; }
    /// The chosen row of subjects(), -1 for none.
    int subject() const { return m_subject; }

    /// Chooses an operation and lists its subjects, no subject chosen (also
    /// when the operation was chosen already). A code outside the operation
    /// list chooses none. Emits changed().
    void chooseOperation(int operation);
    /// Chooses row `subject` of subjects(); any other value chooses none.
    /// Emits changed() when the choice changes.
    void chooseSubject(int subject);
    /// After a model load or a new world: the subjects are read afresh for
    /// the chosen operation; the chosen subject stays chosen when the model
    /// has one of that name, else none is. Emits changed().
    void refresh();

    /// Chooses by a text of an operation name, a blank and a subject name
    /// ("Average Alive", "parameter density"): the text is trimmed, the
    /// names before and after its first blank are trimmed and each is
    /// matched without regard to letter case (in the user's locale), the
    /// first match counting. True when both were found and are chosen. When
    /// the operation is found but the subject is not, the operation stays
    /// chosen (with no subject) and the answer is false; otherwise nothing
    /// changes.
    bool chooseText(const QString& text);

    /// Add: puts the chosen pair in the series table and answers its slot.
    /// Throws CommandError as SeriesTable::addSeries does ("Select an
    /// operation/state pair to plot" when nothing is chosen, a pair already
    /// plotted, every slot in use).
    int add();

signals:
    /// The operation, the subject list or the chosen subject changed.
    void changed();

private:
    SeriesTable& m_table;
    int m_operation = -1;
    QStringList m_subjects;
    int m_subject = -1;
};

} // namespace tessra
