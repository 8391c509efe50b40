#pragma once

#include <QWidget>
#include <filesystem>
#include <functional>

#include "document/document_ui.h"
#include "document/editor_page.h"
#include "transfer/image_transfer.h"

namespace morvik::gui {

class ImportDialog;

// What every page shares with the shell: its place in the tab area, hiding
// and showing, and the import and export flows for its current item. A page
// says what to export and how to take an imported picture.
class TransferPage : public QWidget, public virtual EditorPage {
    Q_OBJECT

  public:
    static constexpr int kWidth = 680;
    static constexpr int kHeight = 480;

    TransferPage(DocumentUi& ui, QWidget* parent);

    void createPage() override;
    void hidePage() override { hide(); }
    void showPage() override;
    void invalidatePage() override { update(); }
    void exportImage() override;
    void importImage() override;
    // The import dialog, opened with this file chosen (a dropped file, a
    // pasted picture): the same checks and palette choice as Import.
    void importFile(const QString& path);
    // Edit > Copy: the current item's picture as exported, in colour with
    // colour 0 transparent. False when it could not be made.
    bool copyToClipboard() const;
    // Edit > Paste: the clipboard's picture through the import dialog.
    void pasteFromClipboard();

    // Called whenever the page changes the data (the document's changed mark).
    void setChangeNotifier(std::function<void()> notify);

    virtual QString exportTitle() const = 0;
    virtual QString importTitle() const = 0;
    virtual QString itemName() const = 0;
    virtual const ImportLimits& importLimits() const = 0;
    // Writes the current item as exported; false when the writer failed.
    virtual bool exportTo(const std::filesystem::path& path, ImageFileType type) const = 0;
    // Takes a picture the import dialog accepted into the current item.
    virtual void importPicture(const IndexedImage& picture) = 0;
    // Gives the import dialog the current item, so that it maps the file's
    // colours for it.
    virtual void prepareImportDialog(ImportDialog& /*dialog*/) {}

  protected:
    // The background the import preview shows the picture over.
    virtual const IndexedImage& importBackground() const = 0;
    void markChanged() { changed_(); }
    QWidget* mainWindow() const { return window(); }
    DocumentUi& ui() const { return ui_; }

  private:
    void runImport(const QString& path);

    DocumentUi& ui_;
    std::function<void()> changed_ = [] {};
};

}  // namespace morvik::gui
