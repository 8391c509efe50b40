#pragma once

#include <QString>

namespace morvik::gui {

// Makes the pictures compiled into the program available (":/name.png");
// harmless to call more than once.
void initResources();

inline const QString kIconPath = QStringLiteral(":/morvik.png");

}  // namespace morvik::gui
