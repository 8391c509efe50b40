#include <QApplication>
#include <QMessageBox>
#include <QScreen>

#include "gui/main_window.h"
#include "gui/qt_path.h"
#include "gui/qt_settings_store.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
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
    window.show();
    // An optional ROM path opens that file as File > Open would.
    const QStringList arguments = application.arguments();
    if (arguments.size() > 1) {
        window.document().openRomFile(morvik::gui::toPath(arguments.at(1)));
    }
    return application.exec();
}
