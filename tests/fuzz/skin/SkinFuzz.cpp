// Fuzz target: the stored skin. Each input is tried three ways: as an
// inflated container (compressed here, so the mutations reach the slots and
// the description), as the compressed bytes themselves, and as a bare
// description text. Only the system's own exceptions may come out.
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/Exceptions.h"
#include "skin/SkinData.h"
#ifdef ZV_FUZZ_LINT
#include "tools/skintool/SkinLint.h"
#endif

namespace {

void Exercise(zv::TksSkinData& data) {
    // Reading back every object is what the windows do after a load.
    for (int i = 0; i < data.SkinControlCount(); ++i) (void)data.SkinControls(i)->Dump();
    for (int i = 0; i < data.SkinObjectCount(); ++i) (void)data.SkinObjects(i)->Dump();
    for (int i = 0; i < data.ActivePictureCount(); ++i) (void)data.ActivePicture(i)->ToFileBytes();
}

void LoadStored(const std::vector<std::uint8_t>& compressed) {
    zv::TksCompressedStoredSkin stored(nullptr);
    stored.SetCompressedData(compressed);
    zv::TksSkinData data(nullptr);
    try {
        data.LoadCompressedSkin(stored);
        Exercise(data);
    } catch (const zv::Exception&) {
    }
#ifdef ZV_FUZZ_LINT
    (void)zv::LintStoredSkin(stored);
#endif
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    LoadStored(zv::ZCompress(bytes, size, 1));
    LoadStored(std::vector<std::uint8_t>(bytes, bytes + size));

    zv::TStringList lines;
    lines.SetText(std::string(reinterpret_cast<const char*>(bytes), size));
    zv::TksSkinData data(nullptr);
    try {
        data.LoadDescription(lines);
        Exercise(data);
    } catch (const zv::Exception&) {
    }
    return 0;
}
