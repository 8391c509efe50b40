#pragma once

#include <QDialog>
#include <functional>

#include "backgrounds/background_pictures.h"
#include "editing/background_chooser_model.h"

class QScrollBar;

namespace morvik::gui {

class ThumbnailFrame;

// "Change background image": eight of the sixty pictures at a time, a scroll
// bar over the fifteen rows, a click selects. OK applies the choice; Cancel
// restores the one the dialog opened with; the close box keeps the selection
// without rebuilding the pictures. The main window is disabled while it is open.
class BackgroundChooser : public QDialog {
    Q_OBJECT

  public:
    // `apply` rebuilds the current pictures from a selection (the OK button).
    BackgroundChooser(std::uint8_t& selection, const BackgroundPictures& pictures,
                      std::function<void()> apply, QWidget* mainWindow);

    const BackgroundChooserModel& model() const { return model_; }
    QScrollBar* scrollBar() const { return scrollBar_; }
    void clickFrame(int slot);

  protected:
    void done(int result) override;

  private:
    void refresh();

    std::uint8_t& selection_;
    const BackgroundPictures& pictures_;
    std::function<void()> apply_;
    QWidget* mainWindow_;
    BackgroundChooserModel model_;
    ThumbnailFrame* frames_[BackgroundChooserModel::kShown] = {};
    QScrollBar* scrollBar_ = nullptr;
};

}  // namespace morvik::gui
