#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "ModelApi.h"

namespace tessra {

/// The values being edited for a new simulation, without any widget: what
/// the New Simulation dialog shows and edits. It reads labels and values
/// when the dialog opens, keeps the value texts and the candidate values
/// while it is open, has typed texts judged and described by the model
/// library, and hands every value text back on OK. The front end's core owns
/// the one instance; the dialog is a view that follows its signals and makes
/// every change through it.
///
/// Candidate values: one double per parameter, in index order. They exist
/// from open() until close(); the model library sees them through the address
/// passed to its parameter description, and the program's exported functions
/// read them through isOpen() and candidateValue().
///
/// Value texts: the text of every parameter's value as the dialog shows it,
/// set when opening and changed by each accepted commit().
///
/// All calls belong on the GUI thread. The model may call back into isOpen()
/// and candidateValue() from inside describe(); both only read.
class NewSimulationCandidates : public QObject {
    Q_OBJECT
public:
    /// One parameter as the dialog shows it.
    struct Row {
        QString label; ///< display label as the model gives it (may carry HTML markup)
        QString valueText; ///< value text, at opening in the general format of the user's locale
    };

    explicit NewSimulationCandidates(ModelApi model = {}, QObject* parent = nullptr);

    /// Opening: reads every parameter's label and value afresh from the model
    /// library and creates the candidate values, filled with the model's values.
    /// Returns one row per parameter in index order (none for a model without
    /// parameters or without a model) and emits opened().
    QList<Row> open();
    /// Closing in any way: releases the candidate values and the rows, empties
    /// the description; emits closed() when it was open. Storage the model is
    /// reading at this moment (a describe step in progress) stays valid until
    /// that call into the model has returned.
    void close();
    /// True from open() until close(): the dialog is showing.
    bool isOpen() const;
    /// The rows while open, as opened and committed since; empty while closed.
    const QList<Row>& rows() const { return m_rows; }

    /// The describe step for parameter `index` and the typed `text`:
    /// the model judges the text (the candidate values still hold the previous
    /// values while it does); an acceptable text becomes the candidate value;
    /// the model's label and its description, composed from the candidate
    /// values, become aboutLabel() and aboutText() (descriptionChanged()).
    /// Returns whether the text is acceptable. Does nothing and returns false
    /// while closed or for an index outside the candidate values.
    /// Throws CommandError ("'<text>' is not a valid floating point value")
    /// when the model accepts a text that the number conversion cannot read;
    /// candidate, label and description are then left as they were.
    bool describe(int index, const QString& text);
    /// Label of the parameter last described; "Description" before the first
    /// describe step. Kept across openings.
    QString aboutLabel() const { return m_aboutLabel; }
    /// Description from the last describe step, line breaks as "\n"; empty
    /// after clearDescription() and while closed.
    QString aboutText() const { return m_aboutText; }
    /// Empties the description (the label stays), as when the dialog's grid
    /// loses the focus.
    void clearDescription();

    /// Whether the model accepts `text` for `index`. Touches nothing.
    bool accepts(int index, const QString& text) const;
    /// Committing an edit: when the model accepts `text` for `index` it becomes
    /// that parameter's value text (valueTextChanged()). Touches no candidate
    /// value. Returns whether it was accepted; false while closed or for an
    /// index outside the rows.
    bool commit(int index, const QString& text);

    /// OK: hands every value text to the model library in index order, without
    /// any check, for as many parameters as both the model and the rows have.
    /// The result of each write is not looked at.
    void writeBack() const;

    /// Candidate value `index` while open (0 for an index outside the
    /// parameters). While closed: the model's current value of the parameter
    /// (0 for an index outside the parameters or without a model), so a model
    /// that asks without checking isOpen() first still reads a sensible number.
    double candidateValue(int index) const;
    /// Number of candidate values; 0 while closed.
    int candidateCount() const;

signals:
    /// open() read the rows afresh.
    void opened();
    /// close() released the rows and candidate values.
    void closed();
    /// The value text of parameter `index` is now `text`.
    void valueTextChanged(int index, const QString& text);
    /// aboutLabel() or aboutText() changed.
    void descriptionChanged();

private:
    using Candidates = std::vector<double>;

    ModelApi m_model;
    // Shared so that a describe step keeps the storage it handed to the model
    // alive even if the dialog closes while the model is still running.
    std::shared_ptr<Candidates> m_candidates;
    QList<Row> m_rows;
    QString m_aboutLabel;
    QString m_aboutText;
};

} // namespace tessra
