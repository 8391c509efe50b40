#pragma once

#include <QWidget>

#include "backgrounds/background_pictures.h"
#include "editing/battle_preview_model.h"
#include "rom/data_sets.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;

namespace morvik::gui {

class PictureView;

// The picture at twice its size.
inline constexpr int kBattlePreviewScale = 2;

// "Battle Preview": a window beside the editor that shows a formation as the
// game draws it, over a battle background, with the places' boxes and notes on
// what the game cuts, garbles or colours wrongly. It reads the data sets when
// it refreshes, so it follows the edits.
class BattlePreview : public QWidget {
    Q_OBJECT

  public:
    // `backgroundSetting` (a thumbnail) names the background it starts with.
    BattlePreview(const DataSets& sets, const BackgroundPictures& backgrounds,
                  int backgroundSetting, QWidget* parent);

    const BattlePreviewModel& model() const { return model_; }
    QListWidget* formationList() const { return formations_; }
    PictureView* picture() const { return picture_; }

    // A ROM was opened: the lists are filled again.
    void reload();
    // The monster data changed: the picture is drawn again (while shown).
    void refresh();
    void showFormation(int formation);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    BattlePreviewModel model_;
    QListWidget* formations_ = nullptr;
    PictureView* picture_ = nullptr;
    QComboBox* background_ = nullptr;
    QCheckBox* boxes_ = nullptr;
    QCheckBox* later_ = nullptr;
    QLabel* notes_ = nullptr;
};

}  // namespace morvik::gui
