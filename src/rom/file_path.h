#pragma once

// The path helpers live in rom/, the lowest room that opens files by name, so
// that the ROM access and every room above it name files the same way.

#include <filesystem>
#include <string>
#include <string_view>

namespace morvik {

// File names travel as UTF-8 text (command lines, the recent-file list, messages)
// and become paths only here, so that names outside ASCII survive on Windows,
// where a narrow path string would be read in the ANSI code page. On other
// systems the bytes pass through unchanged.
std::filesystem::path pathFromUtf8(std::string_view text);
std::string pathToUtf8(const std::filesystem::path& path);

}  // namespace morvik
