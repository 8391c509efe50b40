#include "gui/pages/transfer_page.h"

#include "gui/export_dialog.h"
#include "gui/import_dialog.h"
#include "gui/qt_path.h"

namespace morvik::gui {

TransferPage::TransferPage(DocumentUi& ui, QWidget* parent) : QWidget(parent), ui_(ui) {}

void TransferPage::createPage() {
    setGeometry(5, 30, kWidth, kHeight);
    hide();
}

void TransferPage::showPage() {
    raise();
    show();
}

void TransferPage::setChangeNotifier(std::function<void()> notify) {
    changed_ = std::move(notify);
}

void TransferPage::exportImage() {
    ExportDialog dialog(exportTitle(), itemName() + ".png", ImageFileType::Png, mainWindow());
    mainWindow()->setEnabled(false);
    dialog.setEnabled(true);
    const bool confirmed = dialog.exec() == QDialog::Accepted;
    mainWindow()->setEnabled(true);
    if (!confirmed) return;
    // A failed write would otherwise look like an export that happened.
    if (!exportTo(toPath(dialog.path()), dialog.type())) ui_.showError("Error writing image file");
}

void TransferPage::importImage() {
    ImportDialog dialog(
        importTitle(), importLimits(), describesImport(), importBackground(),
        [this](const IndexedImage& picture) { importPicture(picture); }, this);
    prepareImportDialog(dialog);
    dialog.exec();
    // The document counts as changed however the dialog ended.
    markChanged();
}

}  // namespace morvik::gui
