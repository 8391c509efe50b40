#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QScreen>
#include <QStandardPaths>
#include <cstdio>
#include <cstring>

#include "document/version.h"
#include "gui/main_window.h"
#include "gui/qt_path.h"
#include "gui/qt_settings_store.h"

int main(int argc, char** argv) {
    // Answered before Qt starts, so that it works without a display.
    if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("%s\n", morvik::kVersionLine);
        return 0;
    }
    QApplication application(argc, argv);
    // Names the application-data folder, whatever the program file is called.
    QCoreApplication::setApplicationName("morvik");
    if (QGuiApplication::primaryScreen() == nullptr) {
        // Nothing to show a window on.
        QMessageBox::critical(nullptr, morvik::gui::kProgramCaption, "Error initliazing program");
        return 1;
    }
    morvik::gui::QtSettingsStore store;
    morvik::Settings settings;
    int tab = 0;
    morvik::loadSettings(settings, tab, store);

    morvik::gui::MainWindow window(settings, store, tab);
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen != nullptr && screen->depth() <= 8) {
        QMessageBox::warning(nullptr, morvik::gui::kProgramCaption,
                             "Running this program in 256 color mode is not recommended");
    }
    window.keepRecoveryIn(morvik::gui::toPath(
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/recovery"));
    window.show();
    // An optional ROM path opens that file as File > Open would; made absolute
    // so that the recent files can find it again from anywhere.
    const QStringList arguments = application.arguments();
    if (arguments.size() > 1) {
        const QString path = QFileInfo(arguments.at(1)).absoluteFilePath();
        window.document().openRomFile(morvik::gui::toPath(path));
    } else {
        // Edits of the last ROM that a run ending without saving left.
        window.document().openLastRomToRecover();
    }
    return application.exec();
}
