#pragma once

#include <QDialog>

#include "editing/grid_dialog_model.h"

class QLabel;
class QRadioButton;

namespace morvik::gui {

// "Change grid settings": the grid mode and the smallest magnification that
// shows it. OK stores the choice in the settings; Cancel, Escape and the close
// box drop it. The main window is disabled while it is open.
class GridDialog : public QDialog {
    Q_OBJECT

  public:
    GridDialog(Settings& settings, QWidget* mainWindow);

    const GridDialogModel& model() const { return model_; }
    void accept() override;

  protected:
    void done(int result) override;

  private:
    void changeMinimum(int step);
    void refresh();

    Settings& settings_;
    GridDialogModel model_;
    QWidget* mainWindow_;
    QRadioButton* modes_[3] = {};
    QLabel* minimumText_ = nullptr;
};

}  // namespace morvik::gui
