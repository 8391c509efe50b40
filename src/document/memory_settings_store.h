#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "document/settings.h"

namespace morvik {

// Settings kept in memory: for tests, and for a run that must not touch the
// user's stored preferences. Writes are also logged in order.
class MemorySettingsStore : public SettingsStore {
  public:
    std::optional<std::uint32_t> readValue(const std::string& key,
                                           const std::string& name) override {
        const auto found = values.find({key, name});
        if (found == values.end()) return std::nullopt;
        return found->second;
    }
    std::optional<std::string> readString(const std::string& key,
                                          const std::string& name) override {
        const auto found = strings.find({key, name});
        if (found == strings.end()) return std::nullopt;
        return found->second;
    }
    void writeValue(const std::string& key, const std::string& name, std::uint32_t value) override {
        values[{key, name}] = value;
        writes.push_back(key + "/" + name);
    }
    void writeString(const std::string& key, const std::string& name,
                     const std::string& value) override {
        strings[{key, name}] = value;
        writes.push_back(key + "/" + name);
    }

    std::map<std::pair<std::string, std::string>, std::uint32_t> values;
    std::map<std::pair<std::string, std::string>, std::string> strings;
    std::vector<std::string> writes;
};

}  // namespace morvik
