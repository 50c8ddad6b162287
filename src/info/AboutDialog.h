#pragma once

#include <QDialog>

class QLabel;
class QVBoxLayout;

namespace tessra {

/// What the two about windows share: a fixed-size dialog centred on the
/// screen, a bevelled panel over an "OK" button that is the default button
/// and closes it, and labels made for the panel.
class AboutDialog : public QDialog {
    Q_OBJECT

protected:
    AboutDialog(
        const QString& objectName, const QString& caption, QSize clientSize, QWidget* parent);

    /// The panel's layout, which the window fills with its labels.
    QVBoxLayout* panelLayout() const { return m_panelLayout; }

    /// A label showing plain text (never markup), with the object name `name`.
    QLabel* textLabel(const QString& name, Qt::Alignment alignment, bool wrap = false);
    /// A label whose text is a link to an address; a click opens the address
    /// the label holds (linkTarget) with the desktop's "open" action.
    QLabel* linkLabel(const QString& name);
    /// Shows `address` in a label made by linkLabel; empty shows nothing.
    static void setLink(QLabel* label, const QString& address);

    void showEvent(QShowEvent* event) override;

private:
    void fitLinks();

    QVBoxLayout* m_panelLayout;
};

} // namespace tessra
