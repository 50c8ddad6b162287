#pragma once

#include <QApplication>
#include <QString>

namespace tessra {

class Dialogs;

/// The application object. It keeps the application title (the caption of error
/// boxes) and is the last line of defence against failing commands: a CommandError
/// (or any other exception) that escapes an event handler is shown with the standard
/// error display and the program goes on. It also installs the desktop's beep.
class TessraApplication : public QApplication {
    Q_OBJECT
public:
    TessraApplication(int& argc, char** argv);
    ~TessraApplication() override;

    QString applicationTitle() const { return m_title; }
    void setApplicationTitle(const QString& title) { m_title = title; }
    /// The dialogs that show errors; the standard ones unless replaced.
    void setDialogs(Dialogs* dialogs);

    bool notify(QObject* receiver, QEvent* event) override;

private:
    void showError(const QString& message);

    QString m_title;
    Dialogs* m_dialogs;
};

} // namespace tessra
