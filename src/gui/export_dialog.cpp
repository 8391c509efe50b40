#include "gui/export_dialog.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace morvik::gui {

ExportDialog::ExportDialog(const QString& title, const QString& path, ImageFileType type,
                           QWidget* mainWindow)
    : QDialog(mainWindow) {
    setObjectName("exportDialog");
    setWindowTitle(title);
    setFixedSize(420, 130);
    auto* label = new QLabel("Export to:", this);
    label->setGeometry(10, 12, 80, 22);
    path_ = new QLineEdit(path, this);
    path_->setObjectName("exportPath");
    path_->setMaxLength(1024);
    path_->setGeometry(90, 10, 220, 24);
    auto* browse = new QPushButton("Browse ...", this);
    browse->setObjectName("exportBrowse");
    browse->setGeometry(318, 10, 92, 26);
    auto* typeLabel = new QLabel("File type:", this);
    typeLabel->setGeometry(10, 50, 80, 22);
    type_ = new QComboBox(this);
    type_->setObjectName("exportType");
    type_->addItems({".BMP", ".PCX", ".PNG"});
    type_->setCurrentIndex(static_cast<int>(type));
    type_->setGeometry(90, 48, 100, 24);
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("exportOk");
    ok->setDefault(true);
    ok->setGeometry(90, 92, 100, 28);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("exportCancel");
    cancel->setGeometry(210, 92, 100, 28);

    connect(browse, &QPushButton::clicked, this, &ExportDialog::browse);
    connect(type_, &QComboBox::activated, this,
            [this](int index) { chooseType(static_cast<ImageFileType>(index)); });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    move(mainWindow->pos() + QPoint(150, 100));
}

QString ExportDialog::path() const {
    return path_->text();
}

ImageFileType ExportDialog::type() const {
    return static_cast<ImageFileType>(type_->currentIndex());
}

void ExportDialog::chooseType(ImageFileType type) {
    type_->setCurrentIndex(static_cast<int>(type));
    path_->setText(QString::fromStdString(replaceExtension(path_->text().toStdString(), type)));
}

void ExportDialog::useBrowsedPath(const QString& path) {
    path_->setText(path);
    if (const auto type = fileTypeOfPath(path.toStdString())) {
        type_->setCurrentIndex(static_cast<int>(*type));
    }
}

void ExportDialog::browse() {
    QFileDialog dialog(this, windowTitle());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(fileTypeExtension(type()));
    dialog.selectFile(path_->text());
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        useBrowsedPath(dialog.selectedFiles().first());
    }
}

}  // namespace morvik::gui
