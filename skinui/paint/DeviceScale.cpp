#include "skinui/paint/DeviceScale.h"

#include <algorithm>
#include <cstdint>

namespace zv {

namespace {

// Densities beyond this are not displays; they would only overflow sizes.
constexpr int kMaxPixelsPerInch = 96 * 16;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

int Clamped(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, -(std::int64_t{1} << 30), std::int64_t{1} << 30));
}

}  // namespace

TDeviceScale::TDeviceScale(int pixelsPerInch)
    : m_ppi(std::clamp(pixelsPerInch, SkinPixelsPerInch, kMaxPixelsPerInch)) {}

int TDeviceScale::Map(int skin) const {
    const std::int64_t v = static_cast<std::int64_t>(skin) * m_ppi;
    const std::int64_t half = SkinPixelsPerInch / 2;
    return Clamped(v >= 0 ? (v + half) / SkinPixelsPerInch : -((-v + half) / SkinPixelsPerInch));
}

int TDeviceScale::Unmap(int device) const {
    const std::int64_t v = static_cast<std::int64_t>(device) * SkinPixelsPerInch;
    const std::int64_t half = m_ppi / 2;
    return Clamped(v >= 0 ? (v + half) / m_ppi : -((-v + half) / m_ppi));
}

int TAxisMap::ToDevice(int x) const {
    if (Skin <= 0 || Skin == Device) return x;
    auto f = [this](std::int64_t v) { return FloorDiv(v * Device, Skin); };
    const std::int64_t o = Origin;
    return Clamped(f(o + x) - f(o));
}

int TAxisMap::ToSkin(int d) const {
    if (Skin <= 0 || Device <= 0 || Skin == Device) return d;
    // The last skin position whose device position is at or before d.
    const std::int64_t absolute =
        static_cast<std::int64_t>(d) + FloorDiv(std::int64_t{Origin} * Device, Skin);
    const std::int64_t v = -FloorDiv(-(absolute + 1) * Skin, Device) - 1;
    return Clamped(v - Origin);
}

TDeviceMap TDeviceMap::Identity(int w, int h) {
    return {{w, w, 0}, {h, h, 0}, w, h, TDeviceScale()};
}

TDeviceMap TDeviceMap::ForSkinSize(int w, int h, TDeviceScale scale) {
    return ForSizes(w, h, scale.Map(w), scale.Map(h), scale);
}

TDeviceMap TDeviceMap::ForDeviceSize(int deviceWidth, int deviceHeight, TDeviceScale scale) {
    return ForSizes(scale.Unmap(deviceWidth), scale.Unmap(deviceHeight), deviceWidth, deviceHeight, scale);
}

TDeviceMap TDeviceMap::ForSizes(int w, int h, int deviceWidth, int deviceHeight, TDeviceScale scale) {
    w = std::max(w, 0);
    h = std::max(h, 0);
    // At the skin's own density every skin pixel is a device pixel, whatever
    // the sizes say.
    if (scale.Identity()) return Identity(w, h);
    return {{w, std::max(deviceWidth, 0), 0}, {h, std::max(deviceHeight, 0), 0}, w, h, scale};
}

TRect TDeviceMap::ToDevice(const TRect& r) const {
    return {X.ToDevice(r.Left), Y.ToDevice(r.Top), X.ToDevice(r.Right), Y.ToDevice(r.Bottom)};
}

TDeviceMap TDeviceMap::Part(const TRect& r) const {
    TDeviceMap m = *this;
    m.X.Origin += r.Left;
    m.Y.Origin += r.Top;
    m.Width = std::max(r.Width(), 0);
    m.Height = std::max(r.Height(), 0);
    return m;
}

}  // namespace zv
