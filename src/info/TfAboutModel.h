#pragma once

#include "AboutDialog.h"
#include "ModelApi.h"

class QLabel;

namespace tessra {

/// The about-the-model window (caption "About the Model"): the loaded model's
/// name and version, copyright, web address and comments, as the model itself
/// gives them. The texts are fetched anew every time the window is shown, so
/// after another model is loaded it describes that one. The Help menu's
/// "About the Model" shows it modally (exec()); created once at start-up.
class TfAboutModel : public AboutDialog {
    Q_OBJECT

public:
    explicit TfAboutModel(QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();

    ModelApi m_api;
    QLabel* m_name;
    QLabel* m_copyright;
    QLabel* m_address;
    QLabel* m_comments;
};

} // namespace tessra
