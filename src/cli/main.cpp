#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_commands.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return morvik::cli::runCli(args, std::cout, std::cerr);
}
