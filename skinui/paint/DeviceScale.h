// Where skin pixels land on the device: the one mapping from the pixels a
// skin is drawn in (its pictures and every number of its description, made
// for 96 pixels per inch) to the pixels of a display of any density. The
// layout rules of the skin always run in skin pixels; their results pass
// through these maps on their way to the screen, and mouse points come back
// through them.
//
//   SkinPixelsPerInch   the density the skin is drawn for
//   TDeviceScale        the factor s = pixels per inch / 96 (never below 1)
//                       and the nearest device length of a skin length
//   TAxisMap            one axis of a target: skin positions to device
//                       positions and back, for a part of the target too
//   TDeviceMap          both axes of a target and its scale
#pragma once

#include "base/Types.h"

namespace zv {

constexpr int SkinPixelsPerInch = 96;

// A scale factor given as the display's pixels per inch. Densities below the
// skin's own count as the skin's: a skin is never drawn smaller than made.
class TDeviceScale {
public:
    TDeviceScale() = default;
    explicit TDeviceScale(int pixelsPerInch);

    [[nodiscard]] int PixelsPerInch() const { return m_ppi; }
    // 96: every device pixel is a skin pixel.
    [[nodiscard]] bool Identity() const { return m_ppi == SkinPixelsPerInch; }
    // A whole multiple of 96: each skin pixel becomes Factor() x Factor()
    // device pixels.
    [[nodiscard]] bool Integral() const { return m_ppi % SkinPixelsPerInch == 0; }
    [[nodiscard]] int Factor() const { return m_ppi / SkinPixelsPerInch; }

    // The device length of a skin length (halves rounded away from zero).
    [[nodiscard]] int Map(int skin) const;
    [[nodiscard]] TSize Map(TSize s) const { return {Map(s.cx), Map(s.cy)}; }
    // The skin length a device length stands for (the nearest one).
    [[nodiscard]] int Unmap(int device) const;

    friend bool operator==(const TDeviceScale&, const TDeviceScale&) = default;

private:
    int m_ppi = SkinPixelsPerInch;
};

// One axis of a target that is Skin skin pixels long and Device device
// pixels long, spread evenly: skin position x lies at device position
// floor(x * Device / Skin). A part of the target starting at skin position
// Origin is seen with its own origin, and the part's device pixels are
// exactly the target's there, so parts drawn apart join without a gap.
struct TAxisMap {
    int Skin = 0;
    int Device = 0;
    int Origin = 0;

    // The device position of skin position x of the part.
    [[nodiscard]] int ToDevice(int x) const;
    // The skin pixel of the part that device pixel d of the part shows.
    [[nodiscard]] int ToSkin(int d) const;
    // The device length of the part's skin range [x, x + length).
    [[nodiscard]] int DeviceLength(int x, int length) const { return ToDevice(x + length) - ToDevice(x); }
    [[nodiscard]] bool Identity() const { return Skin == Device; }

    friend bool operator==(const TAxisMap&, const TAxisMap&) = default;
};

// Both axes of a w x h target (skin pixels) and the scale its pictures are
// drawn at. Width and Height are the skin size of the target (or of the
// part of a target the map was made for).
struct TDeviceMap {
    TAxisMap X;
    TAxisMap Y;
    int Width = 0;
    int Height = 0;
    TDeviceScale Scale;

    // Skin pixels are device pixels.
    static TDeviceMap Identity(int w, int h);
    // A w x h skin area drawn at its nearest device size.
    static TDeviceMap ForSkinSize(int w, int h, TDeviceScale scale);
    // A target whose device size is given (a window, a control): it shows
    // the nearest skin size, stretched evenly over the device pixels.
    static TDeviceMap ForDeviceSize(int deviceWidth, int deviceHeight, TDeviceScale scale);
    // A skin area with the skin size w x h spread over a device size.
    static TDeviceMap ForSizes(int w, int h, int deviceWidth, int deviceHeight, TDeviceScale scale);

    [[nodiscard]] bool IsIdentity() const { return X.Identity() && Y.Identity(); }
    [[nodiscard]] int DeviceWidth() const { return X.DeviceLength(0, Width); }
    [[nodiscard]] int DeviceHeight() const { return Y.DeviceLength(0, Height); }
    [[nodiscard]] TRect ToDevice(const TRect& r) const;
    [[nodiscard]] TPoint ToDevice(TPoint p) const { return {X.ToDevice(p.X), Y.ToDevice(p.Y)}; }
    // The skin pixel a device point lies on.
    [[nodiscard]] TPoint ToSkin(TPoint device) const { return {X.ToSkin(device.X), Y.ToSkin(device.Y)}; }
    // The part of this target at skin rectangle r, seen from r's top-left
    // corner.
    [[nodiscard]] TDeviceMap Part(const TRect& r) const;

    friend bool operator==(const TDeviceMap&, const TDeviceMap&) = default;
};

}  // namespace zv
