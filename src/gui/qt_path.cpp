#include "gui/qt_path.h"

#include <QByteArray>
#include <QFile>

namespace morvik::gui {

std::filesystem::path toPath(const QString& name) {
#ifdef _WIN32
    return std::filesystem::path(name.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(name).toStdString());
#endif
}

QString toQString(const std::filesystem::path& path) {
#ifdef _WIN32
    return QString::fromStdWString(path.native());
#else
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
#endif
}

}  // namespace morvik::gui
