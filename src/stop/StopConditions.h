#pragma once

#include <QObject>

#include "ModelApi.h"

namespace tessra {

/// The stop-condition list, its enable switch and its compiled form, tested
/// by the run after every step.
class StopConditions : public QObject {
    Q_OBJECT
public:
    explicit StopConditions(ModelApi model, QObject* parent = nullptr);

    /// Rebuilds the compiled conditions. Called whenever the model library may
    /// have moved the storage they read: after a model load and a new world.
    void recompile();
    /// True when the switch is on and a condition holds now. Allocates nothing.
    bool anyHolds() const;

private:
    ModelApi m_model;
};

} // namespace tessra
