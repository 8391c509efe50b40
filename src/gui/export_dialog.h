#pragma once

#include <QDialog>

#include "transfer/image_transfer.h"

class QComboBox;
class QLineEdit;

namespace morvik::gui {

// Asks where to export and in which format. A type change replaces the
// path's extension; a name chosen with "Browse ..." picks the type its ending
// names. The text in the path box is the path OK exports to.
class ExportDialog : public QDialog {
    Q_OBJECT

  public:
    ExportDialog(const QString& title, const QString& path, ImageFileType type,
                 QWidget* mainWindow);

    QString path() const;
    ImageFileType type() const;
    // What "Browse ..." does with the name the save dialog gave back.
    void useBrowsedPath(const QString& path);
    void chooseType(ImageFileType type);

  private:
    void browse();

    QLineEdit* path_ = nullptr;
    QComboBox* type_ = nullptr;
};

}  // namespace morvik::gui
