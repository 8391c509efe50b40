#include "gui/import_dialog.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QVBoxLayout>

#include "gfx/render.h"
#include "gui/image_convert.h"
#include "gui/main_window.h"
#include "gui/qt_path.h"

namespace morvik::gui {

ImportDialog::ImportDialog(const QString& title, const ImportLimits& limits, bool describe,
                           const IndexedImage& background,
                           std::function<void(const IndexedImage&)> commit, QWidget* parent)
    : QFileDialog(parent, title),
      limits_(limits),
      describe_(describe),
      background_(background),
      commit_(std::move(commit)) {
    setObjectName("importDialog");
    setOption(QFileDialog::DontUseNativeDialog);  // the preview panel needs our own dialog
    setFileMode(QFileDialog::ExistingFile);
    // Qt reads the patterns between the parentheses split at spaces, so they are
    // not separated by commas here.
    setNameFilters({"Supported images formats (*.png *.bmp *.pcx)", "All files (*.*)"});
    reportFailure = [](const QString& message) {
        QMessageBox::critical(nullptr, kProgramCaption, message);
    };

    auto* panel = new QWidget(this);
    auto* column = new QVBoxLayout(panel);
    picture_ = new QLabel(panel);
    picture_->setObjectName("importPreview");
    picture_->setFixedSize(128, 128);
    size_ = new QLabel("64 x 64", panel);
    size_->setObjectName("importSize");
    colours_ = new QLabel("16 colors", panel);
    colours_->setObjectName("importColours");
    column->addWidget(picture_);
    column->addWidget(size_);
    column->addWidget(colours_);
    column->addStretch();
    if (auto* grid = qobject_cast<QGridLayout*>(layout())) {
        grid->addWidget(panel, 0, grid->columnCount(), grid->rowCount(), 1);
    }
    connect(this, &QFileDialog::currentChanged, this, &ImportDialog::preview);
}

void ImportDialog::preview(const QString& path) {
    if (path.isEmpty()) {
        size_->clear();
        colours_->clear();
        return;
    }
    const ImportPreview result = previewImport(toPath(path), limits_, describe_);
    const IndexedImage shown = result.readable ? drawImage(result.picture, &background_, 128, 128)
                                               : drawImage(background_, nullptr, 128, 128);
    picture_->setPixmap(QPixmap::fromImage(toQImage(shown)));
    size_->setText(QString::fromStdString(result.sizeText));
    colours_->setText(QString::fromStdString(result.colourText));
}

bool ImportDialog::commitFile(const QString& path) {
    IndexedImage picture;
    const ImageStatus status = readImportImage(picture, toPath(path), limits_);
    if (status != ImageStatus::Ok) {
        reportFailure(QString::fromStdString(importFailureMessage(status, limits_)));
        return false;
    }
    commit_(picture);
    return true;
}

void ImportDialog::accept() {
    const QStringList files = selectedFiles();
    if (files.isEmpty()) return;
    // A folder is opened, and a name that is not there reported, by the file
    // dialog itself; only a file is read.
    if (!QFileInfo(files.first()).isFile()) {
        QFileDialog::accept();
        return;
    }
    // A refused file keeps the dialog open, with the same file selected.
    if (!commitFile(files.first())) return;
    QFileDialog::accept();
}

QString ImportDialog::sizeText() const {
    return size_->text();
}
QString ImportDialog::colourText() const {
    return colours_->text();
}

}  // namespace morvik::gui
