#pragma once

#include "app/rom_document.h"
#include "backgrounds/background_pictures.h"
#include "gui/pages/transfer_page.h"

namespace morvik::gui {

// A page that shows its data set's current item over the current background
// and saves the data set: the portrait and character pages until their
// editing surfaces are built on the page framework.
class PreviewPage : public TransferPage {
    Q_OBJECT

  public:
    using Kind = DataSetKind;

    PreviewPage(Kind kind, DataSets& sets, const BackgroundPictures& backgrounds, DocumentUi& ui,
                QWidget* parent);

    void clearImage() override {}
    void flipImage(FlipDirection) override {}
    void initAfterLoad() override { loaded_ = true; }
    bool saveToRom(const std::filesystem::path& path) override;
    void paint() override { update(); }

    int currentItem() const { return current_; }

    QString exportTitle() const override;
    QString importTitle() const override;
    QString itemName() const override;
    const ImportLimits& importLimits() const override;
    bool exportTo(const std::filesystem::path& path, ImageFileType type) const override;
    void importPicture(const IndexedImage& picture) override;

  protected:
    const IndexedImage& importBackground() const override { return backgrounds_.background128; }
    void paintEvent(QPaintEvent* event) override;

  private:
    IndexedImage currentPicture() const;

    Kind kind_;
    DataSets& sets_;
    const BackgroundPictures& backgrounds_;
    bool loaded_ = false;
    int current_ = 0;
};

}  // namespace morvik::gui
