#pragma once

#include <filesystem>

namespace morvik::test {

// The public test pictures shared by the projects of this machine, read in
// place (never copied into the project).
inline std::filesystem::path sharedTestData() {
    return MORVIK_SHARED_TESTDATA;
}

}  // namespace morvik::test
