// What the ZIP fuzz target does with one input, shared with the host test
// that replays the kept findings: read the directory of the bytes as an
// archive, then unpack every entry by its own name into a memory stream.
// Only the reader's own exceptions are expected; anything else escapes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "base/Streams.h"
#include "zip/ZipReader.h"

namespace zvfuzz {

struct TExerciseResult {
    int entries = 0;
    int unpacked = 0;
    int zipErrors = 0;
};

inline TExerciseResult ExerciseArchive(const std::uint8_t* data, std::size_t size) {
    TExerciseResult result;
    zv::TCustomMemoryStream source(data, static_cast<std::int64_t>(size));
    zv::TZipReader reader;
    reader.DoProcessMessages = false;
    // Recovery from local headers is the path with the most parsing; let the
    // first byte choose it so both directory paths are exercised.
    if (size > 0 && (data[0] & 1) != 0) reader.IncompleteZipMode = zv::TIncompleteZipMode::izAssumeBad;
    reader.SetSourceStream(&source);
    try {
        reader.ReadDirectory();
    } catch (const zv::EZipError&) {
        ++result.zipErrors;
    }
    result.entries = reader.EntryCount();
    for (int i = 0; i < reader.EntryCount(); ++i) {
        const std::string name = reader.Entry(i).FullName();
        zv::TMemoryStream out;
        try {
            result.unpacked += reader.ExtractToStream(&out, name);
        } catch (const zv::EZipError&) {
            ++result.zipErrors;
        }
    }
    reader.SetSourceStream(nullptr);
    return result;
}

}  // namespace zvfuzz
