#pragma once

#include "AboutDialog.h"

class QLabel;

namespace tessra {

/// The about-the-program window (caption "About Tessra"): the program's icon,
/// name, version and build, the version of the model API library, copyright,
/// home page, description and notes. The Help menu's "About Tessra" shows it
/// modally (exec()); created once at start-up.
class TfAboutTool : public AboutDialog {
    Q_OBJECT

public:
    /// Reads the model API library's version once, now.
    explicit TfAboutTool(QWidget* parent = nullptr);
    /// Shows `apiVersion` as the library's version ("unknown" when empty).
    TfAboutTool(const QString& apiVersion, QWidget* parent);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();

    QString m_apiVersion;
    QLabel* m_product;
    QLabel* m_version;
    QLabel* m_apiVersionLabel;
    QLabel* m_copyright;
    QLabel* m_address;
    QLabel* m_description;
    QLabel* m_notes;
};

} // namespace tessra
