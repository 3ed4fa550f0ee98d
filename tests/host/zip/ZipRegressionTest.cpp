// Replays the inputs kept from fuzzing (tests/data/zip/regress) and the
// corpus archives through the fuzz target's own harness: each must finish
// with at most the reader's own exceptions, under the sanitizers.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/fuzz/zip/ZipFuzzHarness.h"

namespace fs = std::filesystem;

namespace {

fs::path DataDir() {
    const char* root = std::getenv("ZV_SOURCE_DIR");
    return fs::path(root ? root : ".") / "tests" / "data" / "zip";
}

std::string ReadFile(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

}  // namespace

TEST(ZipRegression, KeptInputsRunCleanly) {
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(DataDir())) {
        if (!entry.is_regular_file()) continue;
        const std::string bytes = ReadFile(entry.path());
        SCOPED_TRACE(entry.path().string());
        zvfuzz::ExerciseArchive(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        ++files;
    }
    EXPECT_GT(files, 0);
}
