#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

class QListWidget;
class QPushButton;

namespace morvik::gui {

// Asks which item to copy from. It leaves the main window disabled while it
// is open; a double click or "Copy Image" copies the selected item, "Cancel",
// Escape and the close box copy nothing, and however it ends the main window
// works again.
class CopySourceDialog : public QDialog {
    Q_OBJECT

  public:
    CopySourceDialog(const QString& caption, const std::vector<std::string>& names,
                     std::function<void(int)> copy, QWidget* owner, QWidget* mainWindow);

    QListWidget* list() const { return list_; }
    QPushButton* copyButton() const { return copy_; }
    QPushButton* cancelButton() const { return cancel_; }
    // "Copy Image": without a selection nothing happens and the dialog stays.
    void copySelected();
    void done(int result) override;

  private:
    QListWidget* list_ = nullptr;
    QPushButton* copy_ = nullptr;
    QPushButton* cancel_ = nullptr;
    std::function<void(int)> copyFrom_;
    QWidget* mainWindow_;
};

}  // namespace morvik::gui
