#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "rom/file_path.h"

#ifdef _WIN32
#include <windows.h>

// Windows hands the arguments over as UTF-16; runCli takes UTF-8 everywhere, so
// file names outside the ANSI code page survive.
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(morvik::pathToUtf8(std::filesystem::path(std::wstring(argv[i]))));
    // The output is UTF-8 (file names): the console is told so, or it shows
    // such names in its own code page's letters. The code page belongs to the
    // console, not to this program: it gets its own back at the end.
    const UINT consolePage = GetConsoleOutputCP();
    if (consolePage != 0) SetConsoleOutputCP(CP_UTF8);
    const int status = morvik::cli::runCli(args, std::cout, std::cerr);
    std::cout.flush();
    std::cerr.flush();
    if (consolePage != 0) SetConsoleOutputCP(consolePage);
    return status;
}
#else
int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return morvik::cli::runCli(args, std::cout, std::cerr);
}
#endif
