// One run of the editor for the test that kills it (recovery_after_kill.sh),
// on the offscreen platform with its recovery copies in a folder of the test's:
//   recovery_run edit ROM FOLDER EXPECTED  opens ROM, changes a picture on each
//       page through the menu commands, exports what the pages then show into
//       EXPECTED, says "recovery written" once the copy is on the disk, and
//       waits to be killed;
//   recovery_run yes|no ROM FOLDER  opens ROM and answers the recovery question
//       so; after Yes it saves. Prints "asked", "unsaved" as they are true, and
//       closes the window as the user would.
#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <cstdio>
#include <filesystem>
#include <string>

#include "document/memory_settings_store.h"
#include "gui/main_window.h"

namespace {

class ScriptedWindow : public morvik::gui::MainWindow {
  public:
    ScriptedWindow(morvik::Settings& settings, morvik::SettingsStore& store, bool answer)
        : MainWindow(settings, store, 0), answer_(answer) {}
    bool askYesNo(const std::string& text) override {
        if (text.starts_with("Morvik closed without saving")) std::printf("asked\n");
        return answer_;
    }
    void showError(const std::string& text) override {
        std::fprintf(stderr, "error: %s\n", text.c_str());
    }
    void showInfo(const std::string&) override {}
    void showWarning(const std::string&) override {}
    morvik::Answer askYesNoCancel(const std::string&) override { return morvik::Answer::No; }

  private:
    bool answer_;
};

bool anyRecoveryFile(const std::filesystem::path& folder) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.path().extension() == ".mvr") return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const std::string mode = argc > 1 ? argv[1] : "";
    if (argc < 4 || (mode == "edit" && argc < 5)) {
        std::fprintf(stderr, "usage: recovery_run edit|yes|no ROM FOLDER [EXPECTED]\n");
        return 2;
    }
    const std::filesystem::path rom = argv[2];
    const std::filesystem::path folder = argv[3];
    morvik::Settings settings;
    morvik::MemorySettingsStore store;
    ScriptedWindow window(settings, store, mode == "yes");
    window.keepRecoveryIn(folder);
    window.show();
    if (!window.document().openRomFile(rom)) return 1;

    if (mode == "edit") {
        using morvik::gui::kCommandFlipHorizontal;
        using morvik::gui::kCommandFlipVertical;
        window.runCommand(kCommandFlipHorizontal);
        window.selectTab(morvik::kPortraitsTab);
        window.runCommand(kCommandFlipVertical);
        window.selectTab(morvik::kCharactersTab);
        window.runCommand(kCommandFlipHorizontal);
        if (!window.document().exportAll(argv[4], morvik::ImageFileType::Png).ok()) return 1;
        QElapsedTimer waited;
        waited.start();
        while (!anyRecoveryFile(folder)) {
            if (waited.elapsed() > 60000) return 1;
            QTest::qWait(100);
        }
        std::printf("recovery written\n");
        std::fflush(stdout);
        return application.exec();  // until killed
    }
    if (window.document().dirty() && window.isWindowModified()) std::printf("unsaved\n");
    if (mode == "yes" && !window.document().saveRom()) return 1;
    window.close();
    std::fflush(stdout);
    return 0;
}
