#pragma once

#include <QFileDialog>
#include <functional>

#include "app/image_transfer.h"

class QLabel;

namespace morvik::gui {

// The open-file dialog of the import command, with a preview panel: the picked
// file over the current background, and what the import will make of it. A
// file the page cannot take is refused with a message and the dialog stays open.
class ImportDialog : public QFileDialog {
    Q_OBJECT

  public:
    // `commit` imports a read picture into the page's current item.
    ImportDialog(const QString& title, const ImportLimits& limits, bool describe,
                 const IndexedImage& background, std::function<void(const IndexedImage&)> commit,
                 QWidget* parent);

    // Shows a file in the preview panel (every selection change does).
    void preview(const QString& path);
    // Reads the file and imports it; false (after the message) when it cannot be taken.
    bool commitFile(const QString& path);
    void accept() override;

    QString sizeText() const;
    QString colourText() const;
    // Where refusals are reported; a message box unless replaced (tests).
    std::function<void(const QString&)> reportFailure;

  private:
    ImportLimits limits_;
    bool describe_;
    const IndexedImage& background_;
    std::function<void(const IndexedImage&)> commit_;
    QLabel* picture_ = nullptr;
    QLabel* size_ = nullptr;
    QLabel* colours_ = nullptr;
};

}  // namespace morvik::gui
