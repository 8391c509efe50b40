#include "gui/pages/copy_source_dialog.h"

#include <QListWidget>
#include <QPushButton>

#include "gui/pages/page_controls.h"

namespace morvik::gui {

CopySourceDialog::CopySourceDialog(const QString& caption, const std::vector<std::string>& names,
                                   std::function<void(int)> copy, QWidget* owner,
                                   QWidget* mainWindow)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint),
      copyFrom_(std::move(copy)),
      mainWindow_(mainWindow) {
    setObjectName("copySourceDialog");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(caption);
    setFixedSize(dialogRect(0, 0, 185, 95).size());
    list_ = new QListWidget(this);
    list_->setObjectName("copySources");
    list_->setGeometry(dialogRect(7, 7, 98, 81));
    for (const std::string& name : names)
        list_->addItem(QString::fromStdString(name));
    copy_ = new QPushButton("Copy Image", this);
    copy_->setObjectName("copySourceCopy");
    copy_->setGeometry(dialogRect(115, 7, 60, 14));
    cancel_ = new QPushButton("Cancel", this);
    cancel_->setObjectName("copySourceCancel");
    cancel_->setGeometry(dialogRect(115, 26, 60, 14));
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] { copySelected(); });
    connect(copy_, &QPushButton::clicked, this, &CopySourceDialog::copySelected);
    connect(cancel_, &QPushButton::clicked, this, &CopySourceDialog::reject);
    mainWindow_->setEnabled(false);
    setEnabled(true);
}

void CopySourceDialog::copySelected() {
    const int row = list_->currentRow();
    if (row < 0 || list_->selectedItems().isEmpty()) return;
    copyFrom_(row);
    accept();
}

void CopySourceDialog::done(int result) {
    mainWindow_->setEnabled(true);
    mainWindow_->raise();
    mainWindow_->activateWindow();
    QDialog::done(result);
}

}  // namespace morvik::gui
