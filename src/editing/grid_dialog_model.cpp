#include "editing/grid_dialog_model.h"

#include <algorithm>

namespace morvik {

void GridDialogModel::setMinimum(int minimum) {
    minimum_ = std::clamp(minimum, kMinMagnification, kMaxMagnification);
}

}  // namespace morvik
