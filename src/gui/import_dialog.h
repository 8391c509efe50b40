#pragma once

#include <QFileDialog>
#include <functional>
#include <optional>

#include "transfer/image_import.h"
#include "transfer/image_transfer.h"

class QComboBox;
class QLabel;

namespace morvik::gui {

// The open-file dialog of the import command, with a preview panel: the picked
// file over the current background, and what the import will make of it. A
// file the page cannot take is refused with a message and the dialog stays open.
class ImportDialog : public QFileDialog {
    Q_OBJECT

  public:
    // `commit` imports a read picture into the page's current item.
    ImportDialog(const QString& title, const ImportLimits& limits, const IndexedImage& background,
                 std::function<void(const IndexedImage&)> commit, QWidget* parent);

    // Imports map the file's colours for this item (the palette choice beside
    // the preview) and hand `commit` the mapped picture; `sharers` names the
    // other items the import of a mapped picture would change.
    void setTarget(ImportTarget target,
                   std::function<std::vector<std::string>(const MappedPicture&)> sharers,
                   std::function<void(const MappedPicture&)> commit);
    void setPaletteMode(PaletteMode mode);
    PaletteMode paletteMode() const;

    // Shows a file in the preview panel (every selection change does).
    void preview(const QString& path);
    // Reads the file and imports it; false (after the message) when it cannot be taken.
    bool commitFile(const QString& path);
    void accept() override;

    QString sizeText() const;
    QString colourText() const;
    // What the palette choice will do: pixels approximated, items also changed.
    QString noteText() const;
    // Where refusals are reported; a message box unless replaced (tests).
    std::function<void(const QString&)> reportFailure;

  private:
    void describeMapping(const PreparedImport& prepared);

    ImportLimits limits_;
    std::optional<ImportTarget> target_;
    std::function<std::vector<std::string>(const MappedPicture&)> sharers_;
    std::function<void(const MappedPicture&)> commitMapped_;
    QComboBox* mode_ = nullptr;
    QLabel* note_ = nullptr;
    QString previewed_;
    const IndexedImage& background_;
    std::function<void(const IndexedImage&)> commit_;
    QLabel* picture_ = nullptr;
    QLabel* size_ = nullptr;
    QLabel* colours_ = nullptr;
};

}  // namespace morvik::gui
