#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>
#include <functional>

#include "backgrounds/background_pictures.h"
#include "document/document_ui.h"
#include "document/settings.h"
#include "editing/animation_preview_model.h"
#include "rom/sprites/sprite_set.h"

class QColorDialog;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTimer;

namespace morvik::gui {

class PictureView;

// "Animation Preview": a small window beside the editor that plays the
// current character's field sprites through a list of frames, at a speed, a
// size and over a plain colour or the battle background, and writes the cycle
// as an animated GIF. It draws from the sprites on every tick, so it shows
// edits as they are made.
class AnimationPreview : public QWidget {
    Q_OBJECT

  public:
    AnimationPreview(const CharacterSpriteSet& set, const BackgroundPictures& backgrounds,
                     Settings& settings, DocumentUi& ui, std::function<int()> currentCharacter,
                     QWidget* parent);

    const AnimationPreviewModel& model() const { return model_; }
    PictureView* picture() const { return picture_; }
    // The milliseconds the preview's clock shows; tests move it on themselves.
    std::int64_t now() const;
    void setClock(std::function<std::int64_t()> clock) { clock_ = std::move(clock); }
    // Draws the frame the clock shows now.
    void tick();

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void fillLists(const QString& shown);
    void takeFrameText(const QString& text);
    void keepList();
    void exportGif();
    void updateBackground();

    AnimationPreviewModel model_;
    const BackgroundPictures& backgrounds_;
    Settings& settings_;
    DocumentUi& ui_;
    std::function<int()> currentCharacter_;
    QElapsedTimer elapsed_;
    std::function<std::int64_t()> clock_;
    QTimer* timer_ = nullptr;
    PictureView* picture_ = nullptr;
    QComboBox* frames_ = nullptr;
    QLineEdit* listName_ = nullptr;
    QLabel* note_ = nullptr;
    QSpinBox* speed_ = nullptr;
    QSpinBox* scale_ = nullptr;
    QComboBox* background_ = nullptr;
    QPushButton* colour_ = nullptr;
    QPushButton* play_ = nullptr;
    QPointer<QColorDialog> colourDialog_;
    PaletteColour plainColour_ = PaletteColour::fromRgb(48, 96, 128);
};

}  // namespace morvik::gui
