#pragma once

#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "gui/main_window.h"

namespace morvik::test {

// The main window with its message boxes and file dialog answered by the test.
class TestWindow : public gui::MainWindow {
  public:
    using gui::MainWindow::MainWindow;
    Answer askYesNoCancel(const std::string& text) override {
        questions.push_back(text);
        const Answer answer = answers.empty() ? Answer::Cancel : answers.front();
        if (!answers.empty()) answers.pop_front();
        return answer;
    }
    bool askYesNo(const std::string& text) override {
        questions.push_back(text);
        return true;
    }
    bool askOkCancel(const std::string& text) override {
        questions.push_back(text);
        return confirm;
    }
    void showError(const std::string& text) override { messages.push_back(text); }
    void showInfo(const std::string& text) override { messages.push_back(text); }
    void showWarning(const std::string& text) override {
        messages.push_back(text);
        warnings.push_back(text);
    }
    std::optional<std::filesystem::path> askRomPath() override { return romPath; }
    std::optional<gui::FolderChoice> askExportFolder() override { return exportFolder; }
    std::optional<std::filesystem::path> askImportFolder() override { return importFolder; }
    // The file dialogs take their answers in turn; none left is a cancel.
    std::optional<std::filesystem::path> askOpenFile(const FileQuestion&) override {
        return nextFile();
    }
    std::optional<std::filesystem::path> askSaveFile(const FileQuestion&) override {
        return nextFile();
    }
    std::optional<std::filesystem::path> nextFile() {
        if (files.empty()) return std::nullopt;
        std::filesystem::path file = files.front();
        files.pop_front();
        return file;
    }

    std::optional<std::filesystem::path> romPath;
    std::optional<gui::FolderChoice> exportFolder;
    std::optional<std::filesystem::path> importFolder;
    std::deque<Answer> answers;
    std::deque<std::filesystem::path> files;
    bool confirm = true;
    std::vector<std::string> questions;
    std::vector<std::string> messages;
    std::vector<std::string> warnings;  // the messages shown with the warning icon
};

}  // namespace morvik::test
