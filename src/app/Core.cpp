#include "Core.h"

namespace tessra {

Core::Core()
    : m_recorder(m_model)
    , m_seriesChoice(m_recorder.table())
    , m_stopConditions(m_model)
    , m_frontEnd(m_model, m_recorder, m_stopConditions)
    , m_movieRecorder(m_model)
{
    // The subjects of the chosen operation are the loaded model's names.
    QObject::connect(&m_frontEnd, &FrontEnd::modelLoaded, &m_seriesChoice, &SeriesChoice::refresh);
    QObject::connect(&m_frontEnd, &FrontEnd::worldCreated, &m_seriesChoice, &SeriesChoice::refresh);
    QObject::connect(&m_frontEnd, &FrontEnd::stepped, &m_movieRecorder, &MovieRecorder::stepped);
    // A new world, or a model load (which first disables New), ends the movie.
    QObject::connect(
        &m_frontEnd, &FrontEnd::worldCreated, &m_movieRecorder, [this] { m_movieRecorder.stop(); });
    QObject::connect(&m_frontEnd, &FrontEnd::commandEnabledChanged, &m_movieRecorder,
        [this](FrontEnd::Command command, bool enabled) {
            if (command == FrontEnd::Command::New && !enabled)
                m_movieRecorder.stop();
        });
}

} // namespace tessra
