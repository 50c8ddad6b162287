#include "Core.h"

namespace tessra {

namespace {

// The front end's Inspect Sites shows and hides the inspector; its window follows.
class InspectorShowing : public CompanionWindow {
public:
    explicit InspectorShowing(SiteInspector& inspector)
        : m_inspector(inspector)
    {
    }
    bool isShown() const override { return m_inspector.isShown(); }
    void setShown(bool shown) override { m_inspector.setShown(shown); }

private:
    SiteInspector& m_inspector;
};

} // namespace

Core::Core()
    : m_recorder(m_model)
    , m_seriesChoice(m_recorder.table())
    , m_stopConditions(m_model)
    , m_frontEnd(m_model, m_recorder, m_stopConditions)
    , m_movieRecorder(m_model)
    , m_candidates(m_model)
    , m_siteInspector(m_model)
    , m_inspectorShowing(std::make_unique<InspectorShowing>(m_siteInspector))
{
    // The subjects of the chosen operation are the loaded model's names.
    QObject::connect(&m_frontEnd, &FrontEnd::modelLoaded, &m_seriesChoice, &SeriesChoice::refresh);
    QObject::connect(&m_frontEnd, &FrontEnd::worldCreated, &m_seriesChoice, &SeriesChoice::refresh);
    m_frontEnd.attachInspector(m_inspectorShowing.get());
    QObject::connect(
        &m_frontEnd, &FrontEnd::worldCreated, &m_siteInspector, &SiteInspector::fillStates);
    QObject::connect(
        &m_frontEnd, &FrontEnd::modelLoaded, &m_siteInspector, &SiteInspector::fillStates);
    QObject::connect(&m_frontEnd, &FrontEnd::siteInspected, &m_siteInspector,
        [this](int column, int row, int colour) {
            m_siteInspector.inspectSite(column, row, static_cast<unsigned int>(colour));
        });
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

Core::~Core()
{
    m_frontEnd.attachInspector(nullptr);
}

} // namespace tessra
