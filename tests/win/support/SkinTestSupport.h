// The program's own skin for Windows tests: loaded straight from the
// committed sources in resources/skin (the test's environment names the
// source tree), the same bytes the build packs into the program.
#pragma once

#include <cstdlib>
#include <stdexcept>
#include <string>

#include "skin/SkinData.h"

namespace zvtest {

// A path under the source tree as Wine sees it (the Unix root is drive Z:).
inline std::string SourcePath(const std::string& relative) {
    const char* root = std::getenv("ZV_SOURCE_DIR");
    if (root == nullptr) throw std::runtime_error("ZV_SOURCE_DIR is not set");
    std::string p = std::string(root) + "/" + relative;
    for (char& c : p)
        if (c == '/') c = '\\';
    return "Z:" + p;
}

// Packs resources/skin into `stored` and loads it into `data`
// (SetCompressedStoredSkin broadcasts the skin messages as the program does).
inline void LoadProgramSkin(zv::TksCompressedStoredSkin& stored, zv::TksSkinData& data) {
    if (!stored.LoadFromSkinFile(SourcePath("resources/skin/skin.ini")))
        throw std::runtime_error("cannot read resources/skin/skin.ini");
    data.SetCompressedStoredSkin(&stored);
    if (data.Empty()) throw std::runtime_error("the program's skin did not load");
}

}  // namespace zvtest
