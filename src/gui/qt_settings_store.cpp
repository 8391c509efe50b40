#include "gui/qt_settings_store.h"

namespace morvik::gui {

namespace {

QString entry(const std::string& key, const std::string& name) {
    return QString::fromStdString(key + "/" + name);
}

}  // namespace

QtSettingsStore::QtSettingsStore()
    : settings_(QSettings::NativeFormat, QSettings::UserScope, "Tamsel", "vornix") {}

std::optional<std::uint32_t> QtSettingsStore::readValue(const std::string& key,
                                                        const std::string& name) {
    const QVariant value = settings_.value(entry(key, name));
    bool ok = false;
    const qlonglong number = value.toLongLong(&ok);
    if (!value.isValid() || !ok) return std::nullopt;
    return static_cast<std::uint32_t>(number);
}

std::optional<std::string> QtSettingsStore::readString(const std::string& key,
                                                       const std::string& name) {
    const QVariant value = settings_.value(entry(key, name));
    if (!value.isValid()) return std::nullopt;
    return value.toString().toStdString();
}

void QtSettingsStore::writeValue(const std::string& key, const std::string& name,
                                 std::uint32_t value) {
    settings_.setValue(entry(key, name), static_cast<qlonglong>(value));
}

void QtSettingsStore::writeString(const std::string& key, const std::string& name,
                                  const std::string& value) {
    settings_.setValue(entry(key, name), QString::fromStdString(value));
}

}  // namespace morvik::gui
