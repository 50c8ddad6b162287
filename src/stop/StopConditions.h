#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <vector>

#include "ModelApi.h"

namespace tessra {

/// The stop conditions: the names a condition may use, the list of
/// conditions, the enable switch, the compiled form of the list and the test
/// the run makes after every step. A run stops when any one condition holds.
///
/// It also holds the inputs for the next condition (chosen name, comparator
/// and value). The Stop Conditions window (TfStop) shows and edits all of this
/// and follows the signals below, so automation that adds a condition leaves
/// the window's inputs showing it, visible or not.
///
/// Nothing here is stored anywhere: every program run starts with an empty
/// list, "Tick" chosen and the switch off.
///
/// Who calls what:
///  - The front end calls modelUnloading() right before it asks the model
///    library to load a model, refillNames() after every successful load,
///    and recompile() after every model load
///    (successful or not) and after every new world. Between modelUnloading()
///    and recompile() anyHolds() tests nothing, so it never reads through an
///    address whose storage the load has freed.
///  - The run step calls anyHolds() after every step and requests a pause
///    when it answers true.
///  - Automation calls setEnabled(), addCondition() and removeAllConditions().
///  - The window calls fillNames() each time it is shown, the input setters,
///    addChosen() ("< Add"), removeCondition() ("Remove >"),
///    removeAllConditions() ("Remove All >>") and setEnabled() (its check box).
///
/// All calls belong on the GUI thread, like every call into the model library.
class StopConditions : public QObject {
    Q_OBJECT
public:
    /// Comparator codes, as automation passes them.
    enum Comparator : int { LessOrEqual = -1, Equal = 0, GreaterOrEqual = 1 };

    /// One row of the list, as the window shows it.
    struct Condition {
        QString name; ///< "Tick" or a parameter name, as the name list writes it.
        QString comparator; ///< ">=", "<=" or "=".
        QString value; ///< The threshold, written by formatThreshold().
        bool operator==(const Condition&) const = default;
    };

    /// The name every list starts with: the simulation time.
    static const QString TickName;

    explicit StopConditions(ModelApi model, QObject* parent = nullptr);
    ~StopConditions() override;

    // --- Name list -------------------------------------------------------

    /// "Tick", then the parameter names of the loaded model. It is filled the
    /// first time it is needed and again after every successful model load;
    /// rows whose name the new model lacks stay in the list and never hold.
    const QStringList& names() const { return m_names; }
    /// Appends the loaded model's parameter names when the list still holds
    /// only "Tick"; otherwise does nothing. Emits namesChanged() when it grew.
    void fillNames();
    /// After a successful model load: "Tick", then the loaded model's
    /// parameter names. The chosen name stays chosen when the list still has
    /// it, else "Tick" is chosen. Emits namesChanged() and inputsChanged().
    void refillNames();

    // --- Condition list --------------------------------------------------

    const QList<Condition>& conditions() const { return m_conditions; }
    /// Adds a row at the end and compiles. The value text is read in the
    /// user's locale when compiling; a text that is no number, or a
    /// comparator text other than ">=", "<=" and "=", leaves the row in the
    /// list but it never holds.
    void appendCondition(const QString& name, const QString& comparator, const QString& value);
    /// Removes row `row` (the rows behind it move up) and compiles. A row
    /// outside the list changes nothing.
    void removeCondition(int row);
    /// Empties the list and compiles.
    void removeAllConditions();

    // --- Enable switch ---------------------------------------------------

    bool isEnabled() const { return m_enabled; }
    /// Sets the switch and returns its state afterwards. Does not compile:
    /// the conditions compiled at the last list change are tested again as
    /// soon as the switch is on. Emits enabledChanged() when it changes.
    bool setEnabled(bool on);

    // --- Inputs for the next condition ----------------------------------

    /// Index into names() of the chosen name; 0 ("Tick") at start.
    int chosenName() const { return m_chosenName; }
    /// Chooses names()[index]; an index outside the name list is ignored.
    void chooseName(int index);
    /// The chosen comparator; GreaterOrEqual at start.
    Comparator chosenComparator() const { return m_chosenComparator; }
    void chooseComparator(Comparator comparator);
    /// The value input; 0 at start.
    double inputValue() const { return m_inputValue; }
    /// The value input as the window's edit shows it (formatThreshold()).
    QString inputText() const { return formatThreshold(m_inputValue); }
    /// Sets the value input. A value that is not finite is refused: the input
    /// stays as it was and the answer is false.
    bool setInputValue(double value);
    /// Reads `text` in the user's locale and sets the value input from it.
    /// Text that is no finite number is refused (answer false, input kept).
    bool setInputText(const QString& text);
    /// The "< Add" button: appends the chosen name, the comparator text and
    /// the value input's text.
    void addChosen();

    /// Adds a condition for automation. The name is looked up in the name
    /// list (filled first) without regard to letter case and chosen; the
    /// code must be -1 ("<="), 0 ("=") or +1 (">="), and is then chosen; the
    /// value must be finite and becomes the value input. Then "< Add".
    /// Answers true when a row was added. An unknown name, a code outside
    /// -1..+1 or a value that is not finite adds nothing and answers false
    /// (a name found stays chosen).
    bool addCondition(const QString& name, int code, double value);

    // --- Compiled conditions and the test --------------------------------

    /// Forgets every compiled address. Call it before the model library loads
    /// a model (which frees the storage the addresses point to); anyHolds()
    /// then answers false until the next recompile().
    void modelUnloading();
    /// Takes the addresses, comparator codes and thresholds from the list
    /// again. Called after every list change, and by the front end after
    /// every model load and new world.
    void recompile();
    /// True when the switch is on and a compiled condition holds now, read
    /// through its address. Stops at the first hit; allocates nothing and
    /// touches no text. A not-a-number value or threshold never holds.
    bool anyHolds() const;
    /// How many rows take part in the test (rows whose name the model knows).
    int compiledCount() const { return static_cast<int>(m_compiled.size()); }

    /// A threshold as rows and the value input write it: fixed-point with six
    /// decimals in the user's locale, no group separators; with more than 18
    /// digits before the decimal separator, the program's exponent form
    /// (formatGeneral: "1.5E20"). Texts are read back with parseNumber.
    static QString formatThreshold(double value);

signals:
    /// The switch changed (the window's check box and the menu's check mark follow).
    void enabledChanged(bool enabled);
    /// Rows were added or removed.
    void conditionsChanged();
    /// The name list grew.
    void namesChanged();
    /// The chosen name, comparator or value input changed.
    void inputsChanged();

private:
    struct Compiled {
        const double* address;
        qint16 code;
        double threshold;
    };

    ModelApi m_model;
    QStringList m_names { TickName };
    QList<Condition> m_conditions;
    bool m_enabled = false;
    int m_chosenName = 0;
    Comparator m_chosenComparator = GreaterOrEqual;
    double m_inputValue = 0.0;
    std::vector<Compiled> m_compiled;
};

} // namespace tessra
