#pragma once

#include "FrontEnd.h"

#include <QPointer>
#include <QWidget>

namespace tessra {

/// Lets the front end show and hide a companion window (site inspector, time-series
/// window, stop-conditions dialog) through its widget.
class WidgetCompanion : public CompanionWindow {
public:
    explicit WidgetCompanion(QWidget* window)
        : m_window(window)
    {
    }
    bool isShown() const override;
    void setShown(bool shown) override;

private:
    QPointer<QWidget> m_window;
};

} // namespace tessra
