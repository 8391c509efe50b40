#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/folder_dialog.h"
#include "gui/main_window.h"
#include "gui/qt_path.h"
#include "rom/file_path.h"

// The window's answers to the document: message boxes, the progress window and
// the folder flows of File > Export All and Import All.

namespace morvik::gui {

namespace {

// The wait cursor while a whole folder is written or read.
class BusyCursor {
  public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

QMessageBox::StandardButton ask(QMessageBox::Icon icon, const std::string& question,
                                QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, kProgramCaption, QString::fromStdString(question), buttons);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace

QString MainWindow::startFolder() const {
    if (!lastFolder_.empty()) return toQString(lastFolder_);
    const std::filesystem::path& rom = document_->romPath();
    return rom.empty() ? QString() : toQString(rom.parent_path() / rom.stem());
}

std::optional<FolderChoice> MainWindow::askExportFolder() {
    FolderDialog dialog("Export All", startFolder(), ImageFileType::Png, this);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return FolderChoice{toPath(dialog.folder()), dialog.type()};
}

std::optional<std::filesystem::path> MainWindow::askImportFolder() {
    FolderDialog dialog("Import All", startFolder(), std::nullopt, this);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return toPath(dialog.folder());
}

void MainWindow::exportAllPictures() {
    const auto choice = askExportFolder();
    if (!choice) return;
    lastFolder_ = choice->folder;
    const FolderExport exported = [&] {
        const BusyCursor busy;
        return document_->exportAll(choice->folder, choice->type);
    }();
    if (!exported.ok()) {
        showError(kExportAllFailedMessage + exported.error);
        return;
    }
    showInfo(std::to_string(exported.written) + " pictures exported to " +
             pathToUtf8(choice->folder));
}

void MainWindow::importAllPictures() {
    const auto folder = askImportFolder();
    if (!folder) return;
    lastFolder_ = *folder;
    FolderImportPlan plan = [&] {
        const BusyCursor busy;
        return document_->planImportAll(*folder, PaletteMode::Automatic);
    }();
    if (!plan.refusals.empty()) {
        showError(folderRefusalSummary(plan, kSummaryLines));
        return;
    }
    if (plan.changes.empty()) {
        showInfo(kNothingToImportMessage);
        return;
    }
    if (!askOkCancel(folderImportSummary(plan, kSummaryLines) + "\n" + kImportAllQuestion)) return;
    document_->importFolder(std::move(plan));
}

Answer MainWindow::askYesNoCancel(const std::string& question) {
    switch (ask(QMessageBox::Question, question,
                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return Answer::Cancel;
    }
}

bool MainWindow::askYesNo(const std::string& question) {
    return ask(QMessageBox::Warning, question, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

void MainWindow::showError(const std::string& message) {
    ask(QMessageBox::Critical, message, QMessageBox::Ok);
}

void MainWindow::showWarning(const std::string& message) {
    ask(QMessageBox::Warning, message, QMessageBox::Ok);
}

bool MainWindow::askOkCancel(const std::string& question) {
    return ask(QMessageBox::Warning, question, QMessageBox::Ok | QMessageBox::Cancel) ==
           QMessageBox::Ok;
}

void MainWindow::showInfo(const std::string& message) {
    ask(QMessageBox::NoIcon, message, QMessageBox::Ok);
}

std::optional<std::filesystem::path> MainWindow::askRomPath() {
    const QString path =
        QFileDialog::getOpenFileName(this, "Select location of Final Fantasy III ROM", QString(),
                                     "ROM files (*.smc *.sfc *.swc *.fig);;All files (*)");
    if (path.isEmpty()) return std::nullopt;
    return toPath(path);
}

bool MainWindow::offerSaveAs(const std::string& message) {
    QMessageBox box(QMessageBox::Warning, kProgramCaption, QString::fromStdString(message),
                    QMessageBox::Cancel, this);
    const QPushButton* saveAs = box.addButton("Save As...", QMessageBox::AcceptRole);
    box.exec();
    return box.clickedButton() == saveAs;
}

std::optional<std::filesystem::path> MainWindow::askOpenFile(const FileQuestion& question) {
    const QString path = QFileDialog::getOpenFileName(this, QString::fromStdString(question.title),
                                                      toQString(question.suggested),
                                                      QString::fromStdString(question.filters));
    if (path.isEmpty()) return std::nullopt;
    return toPath(path);
}

std::optional<std::filesystem::path> MainWindow::askSaveFile(const FileQuestion& question) {
    const QString path = QFileDialog::getSaveFileName(this, QString::fromStdString(question.title),
                                                      toQString(question.suggested),
                                                      QString::fromStdString(question.filters));
    if (path.isEmpty()) return std::nullopt;
    return toPath(path);
}

std::optional<std::filesystem::path> MainWindow::askSaveRomPath() {
    const std::filesystem::path& rom = document_->romPath();
    const QString path =
        QFileDialog::getSaveFileName(this, "Save the ROM as", toQString(rom.parent_path()),
                                     "ROM files (*.smc *.sfc *.swc *.fig);;All files (*)");
    if (path.isEmpty()) return std::nullopt;
    return toPath(path);
}

void MainWindow::showProgress(const std::string& message, int dy) {
    closeProgress();
    progress_ = new QDialog(this, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    progress_->setObjectName("progressWindow");
    progress_->setWindowTitle(kProgramCaption);
    auto* layout = new QVBoxLayout(progress_);
    auto* label = new QLabel(QString::fromStdString(message), progress_);
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    progress_->setFixedSize(279, 80);
    progress_->move(pos() + QPoint(150, dy));
    progress_->show();
    // The work that follows blocks the event loop: paint the window first.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void MainWindow::closeProgress() {
    // Hidden at once: the deletion waits for the event loop, and a message
    // shown next runs a loop of its own that would leave the window behind it.
    if (progress_) {
        progress_->hide();
        progress_->deleteLater();
    }
    progress_ = nullptr;
}

}  // namespace morvik::gui
