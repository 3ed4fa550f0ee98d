// libFuzzer entry: arbitrary bytes as a ZIP archive held in a stream.
#include <cstddef>
#include <cstdint>

#include "tests/fuzz/zip/ZipFuzzHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    zvfuzz::ExerciseArchive(data, size);
    return 0;
}
