#include "MovieRecorder.h"

#include <QDir>
#include <QPointer>

#include <cmath>

#include "CommandError.h"
#include "WorldPicture.h"

namespace tessra {

namespace {
// Times built from fractional steps (0.1 + 0.1 + ...) may miss a whole tick
// by a rounding error.
constexpr double TickTolerance = 1e-9;
} // namespace

MovieRecorder::MovieRecorder(ModelApi model, QObject* parent)
    : QObject(parent)
    , m_model(model)
{
}

MovieRecorder::~MovieRecorder()
{
    if (m_writer)
        m_writer->finish();
}

void MovieRecorder::start(const MovieOptions& options)
{
    stop();
    QImage canvas;
    WorldPicture::colourWorld(m_model, canvas);
    auto writer = std::make_unique<MovieWriter>(options, canvas.size());
    // The writer's thread reports a failure; the recording ends here, on this thread.
    QPointer<MovieRecorder> self(this);
    MovieWriter* raw = writer.get();
    writer->setFailureHandler([self, raw] {
        QMetaObject::invokeMethod(
            self.data(),
            [self, raw] {
                if (self && self->m_writer.get() == raw)
                    self->endAfterFailure();
            },
            Qt::QueuedConnection);
    });
    m_writer = std::move(writer);
    m_options = options;
    m_canvas = canvas;
    m_frameSize = canvas.size();
    m_frames = 0;
    m_nextTick = m_model.simTime() + options.everyTicks;
    m_writer->write(m_canvas);
    ++m_frames;
    emit recordingChanged(true);
}

bool MovieRecorder::stop()
{
    if (!m_writer)
        return false;
    const QString failure = m_writer->finish();
    m_writer.reset();
    m_canvas = QImage();
    emit recordingChanged(false);
    if (!failure.isEmpty()) {
        emit failed(failure);
        return false;
    }
    return true;
}

void MovieRecorder::abandon()
{
    if (!m_writer)
        return;
    m_writer->abandon();
    m_writer.reset();
    m_canvas = QImage();
    emit recordingChanged(false);
}

void MovieRecorder::endAfterFailure()
{
    stop();
}

void MovieRecorder::stepped(double time)
{
    if (!m_writer)
        return;
    if (m_writer->hasFailed()) {
        endAfterFailure();
        return;
    }
    if (time + TickTolerance < m_nextTick)
        return;
    // A step of several ticks takes one frame; the next is due K ticks after it.
    const double every = m_options.everyTicks;
    m_nextTick += every * (std::floor((time + TickTolerance - m_nextTick) / every) + 1);
    takeFrame();
}

void MovieRecorder::takeFrame()
{
    // The canvas keeps the last frame's colours, as the portal keeps its own;
    // the writer holds a copy.
    WorldPicture::colourWorld(m_model, m_canvas);
    if (m_canvas.size() != m_frameSize) {
        // A movie's frames all have one size: the world it began with is gone.
        m_writer.reset();
        m_canvas = QImage();
        emit recordingChanged(false);
        emit failed(QStringLiteral("The movie %1 ended: the world changed its size")
                        .arg(QDir::toNativeSeparators(m_options.file)));
        return;
    }
    m_writer->write(m_canvas);
    ++m_frames;
}

} // namespace tessra
