#include "gui/resources.h"

#include <QtGlobal>

// The resource initialiser has to be named outside any namespace.
static void initMorvikResources() {
    Q_INIT_RESOURCE(morvik);
}

namespace morvik::gui {

void initResources() {
    initMorvikResources();
}

}  // namespace morvik::gui
