// Fuzz target: the bitmap decoder, as the container reads it (from a stream,
// exactly its pieces) and as a file from disk (pixel offset honoured, then
// packed and read again).
#include <cstddef>
#include <cstdint>

#include "base/Exceptions.h"
#include "skin/BmpDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    zv::TCustomMemoryStream stream(bytes, static_cast<std::int64_t>(size));
    zv::TksBitmap b;
    try {
        b.LoadFromStream(stream);
        if (stream.Position() > static_cast<std::int64_t>(size)) __builtin_trap();
        (void)b.ToFileBytes();
    } catch (const zv::Exception&) {
        if (!b.Empty()) __builtin_trap();  // a failed load leaves no picture
    }
    try {
        b.LoadFromFileBytes(bytes, size);
    } catch (const zv::Exception&) {
        return 0;
    }
    if (b.Empty()) return 0;
    // The packed copy must read back to the same pixels.
    zv::TksBitmap again;
    zv::TCustomMemoryStream packed(b.FileBytes().data(), static_cast<std::int64_t>(b.FileBytes().size()));
    try {
        again.LoadFromStream(packed);
    } catch (const zv::Exception&) {
        __builtin_trap();
    }
    if (!(again.Pixels() == b.Pixels()) || packed.Position() != packed.Size()) __builtin_trap();
    return 0;
}
