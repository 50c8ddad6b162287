#include "SiteInspector.h"

#include <algorithm>

namespace tessra {

SiteInspector::SiteInspector(ModelApi model, QObject* parent)
    : QObject(parent)
    , m_model(model)
{
}

void SiteInspector::fillStates()
{
    const int count = std::max(0, m_model.stateCount());
    m_stateNames.clear();
    for (int i = 0; i < count; ++i)
        m_stateNames.append(QString::fromStdString(m_model.stateName(i)));
    m_values.resize(count);
    // The description belonged to the world before.
    m_aboutLabel = noDescription();
    m_aboutText.clear();
    const bool chosenGone = m_chosenState >= count;
    if (chosenGone)
        m_chosenState = -1;
    emit statesChanged();
    if (chosenGone)
        emit chosenStateChanged(-1);
}

void SiteInspector::setShown(bool shown)
{
    if (shown && m_chosenState < 0 && !m_stateNames.isEmpty())
        chooseState(0);
    if (m_shown == shown)
        return;
    m_shown = shown;
    emit shownChanged(shown);
}

void SiteInspector::chooseState(int state)
{
    if (state < 0 || state >= stateCount())
        state = -1;
    if (m_chosenState == state)
        return;
    m_chosenState = state;
    emit chosenStateChanged(state);
}

std::optional<double> SiteInspector::value(int state) const
{
    if (state < 0 || state >= m_values.size())
        return std::nullopt;
    return m_values[state];
}

void SiteInspector::inspectSite(int column, int row, unsigned int colour)
{
    // Hidden, the inspector asks the model library nothing.
    if (!m_shown)
        return;
    m_hasSite = true;
    m_column = column;
    m_row = row;
    m_colour = colour;
    const int states = std::min(m_model.stateCount(), stateCount());
    for (int i = 0; i < states; ++i)
        m_values[i] = m_model.stateValue(column, row, i);

    // A position row has no state to describe; the model is never asked
    // about a state index it does not have.
    if (m_chosenState >= 0 && m_chosenState < states) {
        m_aboutLabel = QString::fromStdString(m_model.stateName(m_chosenState));
        m_aboutText = QString::fromStdString(m_model.aboutState(column, row, m_chosenState));
    } else {
        m_aboutLabel = noDescription();
        m_aboutText.clear();
    }
    emit siteChanged();
}

} // namespace tessra
