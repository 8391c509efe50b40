#pragma once

#include <string>

#include "document/settings.h"

namespace morvik {

// What the "Change grid settings" dialog holds while it is open: the mode and
// minimum magnification the user is choosing. OK stores them; Cancel drops them.
class GridDialogModel {
  public:
    static constexpr int kOkButton = 1105;
    static constexpr int kCancelButton = 1106;
    static constexpr int kNoGridButton = 1101;  // then pixel grid 1102, tile grid 1103
    static constexpr int kMinimumText = 1108;
    static constexpr int kMinimumUpDown = 1104;

    explicit GridDialogModel(const Settings& settings)
        : mode_(settings.grid), minimum_(settings.gridMinMag) {}

    GridMode mode() const { return mode_; }
    int minimum() const { return minimum_; }
    // The radio button that shows the chosen mode.
    int checkedButton() const { return kNoGridButton + static_cast<int>(mode_); }
    // The number shown next to the label, "%d" of the minimum.
    std::string minimumText() const { return std::to_string(minimum_); }

    void chooseMode(GridMode mode) { mode_ = mode; }
    // The up-down control's range is 2..20.
    void setMinimum(int minimum);
    // OK: the choice goes into the settings.
    void accept(Settings& settings) const { settings.setGrid(mode_, minimum_); }

  private:
    GridMode mode_;
    int minimum_;
};

}  // namespace morvik
