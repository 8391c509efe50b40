#pragma once

#include "document/rom_document.h"
#include "editing/monster_page_model.h"
#include "gui/pages/page_widget.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace morvik::gui {

// The page behind the Monsters and Espers tabs: the record list of the mode,
// the record's graphics entry, palette, size and colours, its mold, the free
// space of the monster graphics, and "New Image".
class MonsterPage : public PageWidget, public MonsterEditorPage {
    Q_OBJECT

  public:
    MonsterPage(DataSets& sets, Settings& settings, const BackgroundPictures& backgrounds,
                DocumentUi& ui, QWidget* parent);

    void clearImage() override;
    void flipImage(FlipDirection direction) override;
    void initAfterLoad() override;
    void refresh() override;
    void settleEdits() override { monsters_.settleEdits(); }
    bool saveToRom(RomFile& rom) override;
    void modeChanged(int tab) override;

    QString exportTitle() const override { return "Export monster"; }
    QString importTitle() const override;
    QString itemName() const override;
    const ImportLimits& importLimits() const override { return kMonsterImportLimits; }
    bool exportTo(const std::filesystem::path& path, ImageFileType type) const override;
    void importPicture(const IndexedImage& picture) override;

    const MonsterPageModel& model() const { return monsters_; }
    int currentItem() const { return monsters_.currentRecord(); }
    // "New Image"; a full table of graphics entries is refused with a warning.
    void newImage();
    // Opens the list of records to copy from (the ROM counts as changed).
    void copyImage() override;

  signals:
    // The page showed its record again: after every edit, stroke and choice.
    void recordShown();
    // The formations line was clicked: the Battle preview shows this formation.
    void formationChosen(int formation);

  protected:
    const IndexedImage& previewPicture() const override { return monsters_.picture(); }
    void refreshPageControls() override;

  private:
    void buildLists();
    void fillRecordList();
    void followItem() override;
    void selectLine(int line);

    MonsterPageModel& monsters_;
    QComboBox* records_ = nullptr;
    QComboBox* images_ = nullptr;
    QComboBox* palettes_ = nullptr;
    QComboBox* sizes_ = nullptr;
    QComboBox* depths_ = nullptr;
    QLabel* mold_ = nullptr;
    QLabel* battleWarning_ = nullptr;
    QLabel* formations_ = nullptr;
    QLabel* freeSpace_ = nullptr;
    QLabel* noRoom_ = nullptr;
    QLabel* room_ = nullptr;
};

}  // namespace morvik::gui
