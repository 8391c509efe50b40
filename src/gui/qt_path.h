#pragma once

#include <QString>
#include <filesystem>

namespace morvik::gui {

// The one crossing between Qt's file names and the core's paths, for ROMs,
// imports, exports and recent files: on Windows through UTF-16, elsewhere
// through the local 8-bit encoding that the file system uses.
std::filesystem::path toPath(const QString& name);
QString toQString(const std::filesystem::path& path);

}  // namespace morvik::gui
