#pragma once

#include <QSettings>

#include "document/settings.h"

namespace morvik::gui {

// The settings in the platform's own store: on Windows the registry key
// Tamsel\vornix, elsewhere the platform's settings file.
class QtSettingsStore : public SettingsStore {
  public:
    QtSettingsStore();

    std::optional<std::uint32_t> readValue(const std::string& key,
                                           const std::string& name) override;
    std::optional<std::string> readString(const std::string& key, const std::string& name) override;
    void writeValue(const std::string& key, const std::string& name, std::uint32_t value) override;
    void writeString(const std::string& key, const std::string& name,
                     const std::string& value) override;

    QSettings& settings() { return settings_; }

  private:
    QSettings settings_;
};

}  // namespace morvik::gui
