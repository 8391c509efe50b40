#pragma once

#include "document/rom_document.h"
#include "editing/character_page_model.h"
#include "gui/pages/page_widget.h"

class QComboBox;

namespace morvik::gui {

// The page behind the Characters tab: a character's 40 sprites on one sheet,
// where a click selects the sprite the magnified view edits.
class CharacterPage : public PageWidget {
    Q_OBJECT

  public:
    CharacterPage(DataSets& sets, Settings& settings, const BackgroundPictures& backgrounds,
                  DocumentUi& ui, QWidget* parent);

    void clearImage() override;
    void flipImage(FlipDirection direction) override;
    void initAfterLoad() override;
    bool saveToRom(RomFile& rom) override;

    QString exportTitle() const override { return "Export character sprites"; }
    QString importTitle() const override { return "Import Character sprites"; }
    QString itemName() const override;
    const ImportLimits& importLimits() const override { return kCharacterImportLimits; }
    // The whole sheet, without the selection frame.
    bool exportTo(const std::filesystem::path& path, ImageFileType type) const override;
    void importPicture(const IndexedImage& picture) override;

    const CharacterPageModel& model() const { return characters_; }
    int currentItem() const { return characters_.currentCharacter(); }
    // Asks whether to copy the selected sprite or all of them, then opens the
    // list of characters to copy from.
    void copyImage() override;

  protected:
    void preparePaint() override { sheet_ = characters_.sheet(); }
    const IndexedImage& previewPicture() const override { return sheet_; }
    void refreshPageControls() override;
    void followItem() override { selectQuietly(list_, characters_.currentCharacter()); }

  private:
    CharacterPageModel& characters_;
    IndexedImage sheet_;
    QComboBox* list_ = nullptr;
    QComboBox* palettes_ = nullptr;
};

}  // namespace morvik::gui
