#pragma once

#include <QObject>

class QWidget;

namespace tessra {

class FrontEnd;

/// The application-wide Space key: while the main window is the active window, every
/// Space key press anywhere in the application is consumed and toggles the run (pause
/// when running, run otherwise). Install on the application object.
class SpaceKeyFilter : public QObject {
    Q_OBJECT
public:
    SpaceKeyFilter(FrontEnd& frontEnd, QWidget& mainWindow);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    FrontEnd& m_frontEnd;
    QWidget& m_mainWindow;
};

} // namespace tessra
