#pragma once

#include "document/rom_document.h"
#include "editing/portrait_page_model.h"
#include "gui/pages/page_widget.h"

class QComboBox;

namespace morvik::gui {

// The page behind the Portraits tab: the 19 portraits, 40x40 pixels each, on
// 19 shared palettes.
class PortraitPage : public PageWidget {
    Q_OBJECT

  public:
    PortraitPage(DataSets& sets, Settings& settings, const BackgroundPictures& backgrounds,
                 DocumentUi& ui, QWidget* parent);

    void clearImage() override;
    void flipImage(FlipDirection direction) override;
    void initAfterLoad() override;
    bool saveToRom(RomFile& rom) override;

    QString exportTitle() const override { return "Export portrait"; }
    QString importTitle() const override { return "Import Portrait"; }
    QString itemName() const override;
    const ImportLimits& importLimits() const override { return kPortraitImportLimits; }
    bool exportTo(const std::filesystem::path& path, ImageFileType type) const override;
    void importPicture(const IndexedImage& picture) override;

    const PortraitPageModel& model() const { return portraits_; }
    int currentItem() const { return portraits_.currentPortrait(); }
    // Opens the list of portraits to copy from (the ROM counts as changed).
    void copyImage() override;

  protected:
    const IndexedImage& previewPicture() const override { return portraits_.picture(); }
    void followItem() override { selectQuietly(list_, portraits_.currentPortrait()); }
    void refreshPageControls() override;

  private:
    PortraitPageModel& portraits_;
    QComboBox* list_ = nullptr;
    QComboBox* palettes_ = nullptr;
};

}  // namespace morvik::gui
