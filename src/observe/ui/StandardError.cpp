#include "StandardError.h"

#include <QGuiApplication>
#include <QMessageBox>

namespace tessra {

void showStandardError(QWidget* parent, const CommandError& error)
{
    QMessageBox box(QMessageBox::Critical, QGuiApplication::applicationDisplayName(),
        error.message() + QLatin1Char('.'), QMessageBox::Ok, parent);
    box.exec();
}

} // namespace tessra
