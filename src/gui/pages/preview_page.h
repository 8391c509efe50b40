#pragma once

#include <QWidget>
#include <functional>

#include "app/editor_page.h"
#include "app/image_transfer.h"
#include "app/rom_document.h"
#include "backgrounds/background_pictures.h"

namespace morvik::gui {

// A page that shows its data set's current item over the current background
// and saves the data set. The editing surfaces of each page build on it.
class PreviewPage : public QWidget, public MonsterEditorPage {
    Q_OBJECT

  public:
    using Kind = DataSetKind;
    static constexpr int kWidth = 680;
    static constexpr int kHeight = 480;

    PreviewPage(Kind kind, DataSets& sets, const BackgroundPictures& backgrounds, QWidget* parent);

    void clearImage() override {}
    void exportImage() override;
    void flipImage(FlipDirection) override {}
    void importImage() override;
    void createPage() override;
    void initAfterLoad() override { loaded_ = true; }
    bool saveToRom(const std::filesystem::path& path) override;
    void paint() override { update(); }
    void hidePage() override { hide(); }
    void showPage() override;
    void invalidatePage() override { update(); }
    // Tab 0 shows the monsters, from record 0; tab 1 the espers, from record 384.
    void modeChanged(int tab) override;

    int currentItem() const { return current_; }
    // Called whenever the page changes the data (the document's changed mark).
    void setChangeNotifier(std::function<void()> notify) { changed_ = std::move(notify); }

    // Writes the current item's exported region; false when the writer failed.
    bool exportTo(const std::filesystem::path& path, ImageFileType type) const;
    // Imports a picture into the current item.
    void importPicture(const IndexedImage& picture);
    QString exportTitle() const;
    QString importTitle() const;
    QString itemName() const;
    const ImportLimits& importLimits() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    IndexedImage currentPicture() const;
    QWidget* mainWindow() const { return window(); }

    Kind kind_;
    DataSets& sets_;
    const BackgroundPictures& backgrounds_;
    bool loaded_ = false;
    int current_ = 0;
    int monsterTab_ = kMonstersTab;
    std::function<void()> changed_ = [] {};
};

}  // namespace morvik::gui
