#pragma once

#include <QDialog>
#include <optional>

#include "transfer/image_transfer.h"

class QComboBox;
class QLineEdit;

namespace morvik::gui {

// Asks for a folder, and for an export the format its pictures take. The text
// in the folder box is the folder OK goes on with; OK rests while it is empty.
class FolderDialog : public QDialog {
    Q_OBJECT

  public:
    // Without a type, the dialog asks for the folder alone.
    FolderDialog(const QString& title, const QString& folder, std::optional<ImageFileType> type,
                 QWidget* mainWindow);

    QString folder() const;
    ImageFileType type() const;

  private:
    void browse();

    QLineEdit* folder_ = nullptr;
    QComboBox* type_ = nullptr;
};

}  // namespace morvik::gui
