#include "gui/folder_dialog.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace morvik::gui {

FolderDialog::FolderDialog(const QString& title, const QString& folder,
                           std::optional<ImageFileType> type, QWidget* mainWindow)
    : QDialog(mainWindow) {
    setObjectName("folderDialog");
    setWindowTitle(title);
    const int buttonsY = type ? 92 : 54;
    setFixedSize(420, buttonsY + 38);
    auto* label = new QLabel("Folder:", this);
    label->setGeometry(10, 12, 80, 22);
    folder_ = new QLineEdit(folder, this);
    folder_->setObjectName("folderPath");
    folder_->setMaxLength(1024);
    folder_->setGeometry(90, 10, 220, 24);
    auto* browse = new QPushButton("Browse ...", this);
    browse->setObjectName("folderBrowse");
    browse->setGeometry(318, 10, 92, 26);
    if (type) {
        auto* typeLabel = new QLabel("File type:", this);
        typeLabel->setGeometry(10, 50, 80, 22);
        type_ = new QComboBox(this);
        type_->setObjectName("folderType");
        type_->addItems({".BMP", ".PCX", ".PNG"});
        type_->setCurrentIndex(static_cast<int>(*type));
        type_->setGeometry(90, 48, 100, 24);
    }
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("folderOk");
    ok->setDefault(true);
    ok->setGeometry(90, buttonsY, 100, 28);
    ok->setEnabled(!folder.isEmpty());
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("folderCancel");
    cancel->setGeometry(210, buttonsY, 100, 28);

    connect(folder_, &QLineEdit::textChanged, ok,
            [ok](const QString& text) { ok->setEnabled(!text.isEmpty()); });
    connect(browse, &QPushButton::clicked, this, &FolderDialog::browse);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    move(mainWindow->pos() + QPoint(150, 100));
}

QString FolderDialog::folder() const {
    return folder_->text();
}

ImageFileType FolderDialog::type() const {
    return type_ != nullptr ? static_cast<ImageFileType>(type_->currentIndex())
                            : ImageFileType::Png;
}

void FolderDialog::browse() {
    const QString chosen = QFileDialog::getExistingDirectory(this, windowTitle(), folder_->text());
    if (!chosen.isEmpty()) folder_->setText(chosen);
}

}  // namespace morvik::gui
