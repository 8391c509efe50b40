#include "cli/cli_args.h"

#include <algorithm>

namespace morvik::cli {

namespace {

const OptionShape* findOption(const CommandShape& shape, const std::string& name) {
    const auto found = std::ranges::find(shape.options, name, &OptionShape::name);
    return found == shape.options.end() ? nullptr : &*found;
}

// Takes the option at args[i] (and its value); the error when it does not fit.
std::string takeOption(const std::vector<std::string>& args, std::size_t& i,
                       const CommandShape& shape, ParsedArgs& parsed) {
    const std::string& name = args[i];
    const OptionShape* option = findOption(shape, name);
    if (option == nullptr) return "unknown option " + name;
    if (!option->takesValue) {
        parsed.options[name].clear();
        return {};
    }
    if (i + 1 >= args.size()) return "missing value for " + name;
    const std::string& value = args[++i];
    if (!option->choices.empty() &&
        std::ranges::find(option->choices, value) == option->choices.end())
        return "unknown option " + name + " " + value;
    parsed.options[name] = value;
    return {};
}

}  // namespace

ParsedArgs parseArgs(const std::vector<std::string>& args, std::size_t first,
                     const CommandShape& shape) {
    ParsedArgs parsed;
    for (std::size_t i = first; i < args.size() && parsed.error.empty(); ++i) {
        if (args[i].starts_with("--")) {
            parsed.error = takeOption(args, i, shape, parsed);
        } else if (parsed.positionals.size() < shape.positionals.size()) {
            parsed.positionals.push_back(args[i]);
        } else {
            parsed.error = "unexpected argument '" + args[i] + "'";
        }
    }
    if (parsed.error.empty() && parsed.positionals.size() < shape.positionals.size())
        parsed.error = "missing " + shape.positionals[parsed.positionals.size()];
    return parsed;
}

}  // namespace morvik::cli
