#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace morvik::cli {

// One option of a command: a flag ("--dry-run"), or one that takes the next
// argument as its value, any value or one of `choices`.
struct OptionShape {
    std::string name;
    bool takesValue = false;
    std::vector<std::string> choices;
};

inline OptionShape flagOption(std::string name) {
    return {std::move(name), false, {}};
}
inline OptionShape valueOption(std::string name, std::vector<std::string> choices = {}) {
    return {std::move(name), true, std::move(choices)};
}

// What a command takes after its name: positional arguments (named as the
// usage names them) and options, in any order.
struct CommandShape {
    std::vector<std::string> positionals;
    std::vector<OptionShape> options;
};

struct ParsedArgs {
    std::vector<std::string> positionals;
    // Each option given, with its value (empty for a flag); the last one
    // given counts.
    std::map<std::string, std::string> options;
    // What does not fit the command, in one line ("unknown option --frob");
    // empty when everything does.
    std::string error;

    bool has(const std::string& option) const { return options.contains(option); }
    std::string value(const std::string& option, const std::string& otherwise = {}) const {
        const auto found = options.find(option);
        return found == options.end() ? otherwise : found->second;
    }
};

// Parses args[first..]: an argument that starts with "--" is an option,
// anything else the next positional argument.
ParsedArgs parseArgs(const std::vector<std::string>& args, std::size_t first,
                     const CommandShape& shape);

}  // namespace morvik::cli
