#pragma once

#include <QDialog>
#include <array>
#include <vector>

class QPushButton;
class QRadioButton;

namespace morvik::gui {

// A small modal question with two or three choices as radio buttons, the
// first one checked. OK answers with the checked choice (0, 1 or 2); Cancel,
// Escape and the close box with -1. The main window is disabled while it is
// open.
class ChoiceDialog : public QDialog {
    Q_OBJECT

  public:
    ChoiceDialog(const QString& caption, const std::vector<QString>& choices, QWidget* mainWindow);

    // Shows the dialog and waits for the answer.
    int ask();
    int choice() const { return choice_; }
    QRadioButton* option(int index) const { return options_.at(static_cast<std::size_t>(index)); }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }
    void accept() override;
    void done(int result) override;

  private:
    std::array<QRadioButton*, 3> options_{};
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QWidget* mainWindow_;
    std::size_t count_ = 0;
    int choice_ = -1;
};

}  // namespace morvik::gui
