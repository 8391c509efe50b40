#include "gui/pages/transfer_page.h"

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>

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

bool TransferPage::copyToClipboard() const {
    // The export's own picture (its part of the image, the sheet without its
    // frame), read back as a Qt image.
    const QTemporaryDir folder;
    const QString file = folder.filePath("copy.png");
    if (!folder.isValid() || !exportTo(toPath(file), ImageFileType::Png)) return false;
    QImage picture(file);
    if (picture.isNull()) return false;
    picture = picture.convertToFormat(QImage::Format_Indexed8);
    QList<QRgb> colours = picture.colorTable();
    if (!colours.isEmpty())
        colours[0] = qRgba(qRed(colours[0]), qGreen(colours[0]), qBlue(colours[0]), 0);
    picture.setColorTable(colours);
    QGuiApplication::clipboard()->setImage(picture.convertToFormat(QImage::Format_ARGB32));
    return true;
}

void TransferPage::pasteFromClipboard() {
    const QImage picture = QGuiApplication::clipboard()->image();
    if (picture.isNull()) {
        ui_.showWarning("The clipboard holds no picture");
        return;
    }
    // The dialog reads files: the picture goes through one of its own.
    const QTemporaryDir folder;
    const QString file = folder.filePath("clipboard.png");
    if (!folder.isValid() || !picture.save(file, "PNG")) {
        ui_.showError("Error writing image file");
        return;
    }
    importFile(file);
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
    runImport({});
}

void TransferPage::importFile(const QString& path) {
    runImport(path);
}

void TransferPage::runImport(const QString& path) {
    ImportDialog dialog(
        importTitle(), importLimits(), importBackground(),
        [this](const IndexedImage& picture) { importPicture(picture); }, this);
    prepareImportDialog(dialog);
    if (!path.isEmpty()) {
        dialog.setDirectory(QFileInfo(path).absolutePath());
        dialog.selectFile(path);
        dialog.preview(path);
    }
    dialog.exec();
    // The document counts as changed however the dialog ended.
    markChanged();
}

}  // namespace morvik::gui
