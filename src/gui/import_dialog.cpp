#include "gui/import_dialog.h"

#include <QComboBox>
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

ImportDialog::ImportDialog(const QString& title, const ImportLimits& limits,
                           const IndexedImage& background,
                           std::function<void(const IndexedImage&)> commit, QWidget* parent)
    : QFileDialog(parent, title),
      limits_(limits),
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
    // Empty until a file is chosen: they describe that file.
    size_ = new QLabel(panel);
    size_->setObjectName("importSize");
    colours_ = new QLabel(panel);
    colours_->setObjectName("importColours");
    mode_ = new QComboBox(panel);
    mode_->setObjectName("paletteMode");
    for (const auto& [text, mode] : {std::pair{"Automatic", PaletteMode::Automatic},
                                     std::pair{"Use the file's palette", PaletteMode::File},
                                     std::pair{"Keep the current palette", PaletteMode::Keep},
                                     std::pair{"Renumber the colours", PaletteMode::Renumber}}) {
        mode_->addItem(text, static_cast<int>(mode));
    }
    mode_->hide();
    note_ = new QLabel(panel);
    note_->setObjectName("importNote");
    note_->setWordWrap(true);
    note_->setFixedWidth(160);
    note_->hide();
    column->addWidget(picture_);
    column->addWidget(size_);
    column->addWidget(colours_);
    column->addWidget(mode_);
    column->addWidget(note_);
    column->addStretch();
    connect(mode_, &QComboBox::currentIndexChanged, this, [this] { preview(previewed_); });
    if (auto* grid = qobject_cast<QGridLayout*>(layout())) {
        grid->addWidget(panel, 0, grid->columnCount(), grid->rowCount(), 1);
    }
    connect(this, &QFileDialog::currentChanged, this, &ImportDialog::preview);
}

void ImportDialog::setTarget(ImportTarget target,
                             std::function<std::vector<std::string>(const MappedPicture&)> sharers,
                             std::function<void(const MappedPicture&)> commit) {
    target_ = std::move(target);
    sharers_ = std::move(sharers);
    commitMapped_ = std::move(commit);
    mode_->show();
    note_->show();
}

void ImportDialog::setPaletteMode(PaletteMode mode) {
    mode_->setCurrentIndex(mode_->findData(static_cast<int>(mode)));
}

PaletteMode ImportDialog::paletteMode() const {
    return static_cast<PaletteMode>(mode_->currentData().toInt());
}

QString ImportDialog::noteText() const {
    return note_->text();
}

void ImportDialog::describeMapping(const PreparedImport& prepared) {
    if (prepared.status != ImageStatus::Ok) {
        note_->setText(QString::fromStdString(prepared.message));
        return;
    }
    const MappedPicture& mapped = prepared.mapped;
    QStringList lines{QString("Palette: ") + paletteModeName(mapped.mode)};
    if (mapped.approximated > 0)
        lines << QString("%1 pixels take the nearest colour").arg(mapped.approximated);
    if (sharers_) {
        const std::string shared = sharedPaletteLine(sharers_(mapped));
        if (!shared.empty()) lines << QString::fromStdString(shared);
    }
    note_->setText(lines.join('\n'));
}

void ImportDialog::preview(const QString& path) {
    previewed_ = path;
    if (path.isEmpty()) {
        size_->clear();
        colours_->clear();
        note_->clear();
        return;
    }
    const ImportPreview result = previewImport(toPath(path), limits_, false);
    const IndexedImage shown = result.readable ? drawImage(result.picture, &background_, 128, 128)
                                               : drawImage(background_, nullptr, 128, 128);
    picture_->setPixmap(QPixmap::fromImage(toQImage(shown)));
    // The file as it is, whatever the import will make of it; a file that
    // cannot be read has only the reason.
    const int colours = result.picture.colourCount();
    size_->setText(result.readable
                       ? QString("%1 x %2").arg(result.picture.width()).arg(result.picture.height())
                       : QString::fromStdString(result.sizeText));
    colours_->setText(result.readable
                          ? QString("%1 %2").arg(colours).arg(colours == 1 ? "color" : "colors")
                          : QString());
    if (!target_) return;
    // The picture as it will look with the colours the choice gives it.
    const PreparedImport prepared = prepareImport(toPath(path), limits_, *target_, paletteMode());
    describeMapping(prepared);
    if (prepared.status == ImageStatus::Ok) {
        const IndexedImage mapped = drawImage(prepared.mapped.picture, &background_, 128, 128);
        picture_->setPixmap(QPixmap::fromImage(toQImage(mapped)));
    }
}

bool ImportDialog::commitFile(const QString& path) {
    if (target_) {
        const PreparedImport prepared =
            prepareImport(toPath(path), limits_, *target_, paletteMode());
        if (prepared.status != ImageStatus::Ok) {
            reportFailure(QString::fromStdString(prepared.message));
            return false;
        }
        commitMapped_(prepared.mapped);
        return true;
    }
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
