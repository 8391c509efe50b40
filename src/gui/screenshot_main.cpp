// Takes the README's screenshots: the editor on a ROM, or its Battle preview
// on a formation, drawn off screen and saved as PNG. Used by
// scripts/screenshot.sh; not part of the editor.
#include <QApplication>
#include <QComboBox>
#include <QMouseEvent>
#include <QPixmap>
#include <cstdio>

#include "document/memory_settings_store.h"
#include "gui/main_window.h"
#include "gui/pages/page_controls.h"
#include "gui/pages/page_widget.h"
#include "gui/qt_path.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    const bool battle = arguments.size() >= 4 && arguments.at(3) == "battle";
    // The animation preview of a character, over the battle background.
    const bool animation = arguments.size() >= 4 && arguments.at(3) == "animation";
    if (arguments.size() < 3 || arguments.size() > (battle || animation ? 5 : 4)) {
        std::fprintf(stderr,
                     "usage: morvik-screenshot ROM OUT.png [TAB | battle [FORMATION] | animation "
                     "[CHARACTER]]\n");
        return 2;
    }
    const int tab = animation                          ? morvik::kCharactersTab
                    : arguments.size() == 4 && !battle ? arguments.at(3).toInt()
                                                       : 0;
    // Default settings, and nothing written back: the user's own stay untouched.
    morvik::MemorySettingsStore store;
    morvik::Settings settings;
    // The preview over the first battle background.
    if (battle || animation) settings.background = 7;
    if (animation) settings.animationScale = 4;
    morvik::gui::MainWindow window(settings, store, tab);
    window.show();
    if (!window.document().openRomFile(morvik::gui::toPath(arguments.at(1)))) return 1;
    // The pointer rests over the view, so the status bar has its say.
    if (auto* page = dynamic_cast<morvik::gui::PageWidget*>(window.page(tab))) {
        const QPointF at(90, 110);
        QMouseEvent hover(QEvent::MouseMove, at, page->view()->mapToGlobal(at), Qt::NoButton,
                          Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(page->view(), &hover);
    }
    if (battle) {
        window.openBattlePreview(arguments.size() == 5 ? arguments.at(4).toInt() : 0);
        QApplication::processEvents();
        return window.battlePreview()->grab().save(arguments.at(2), "PNG") ? 0 : 1;
    }
    if (animation) {
        if (arguments.size() == 5) {
            auto* list = window.page(tab)->findChild<QComboBox*>("characterList");
            if (list != nullptr) list->setCurrentIndex(arguments.at(4).toInt());
        }
        window.openAnimationPreview();
        auto* preview = window.animationPreview();
        if (auto* background = preview->findChild<QComboBox*>("animationBackground"))
            background->setCurrentIndex(1);
        QApplication::processEvents();
        return preview->grab().save(arguments.at(2), "PNG") ? 0 : 1;
    }
    QApplication::processEvents();
    if (!window.grab().save(arguments.at(2), "PNG")) return 1;
    return 0;
}
