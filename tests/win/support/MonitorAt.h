// Windows laid out at another display density in tests: while a TMonitorAt
// lives, every form that shows reads its pixels per inch as its monitor's,
// and ReplicationMismatches compares a drawing at a whole factor with the
// same drawing at 96.
#pragma once

#include "base/PixelBuffer.h"
#include "vcl/PixelsPerInch.h"

namespace zvtest {

inline int g_monitorPpi = 96;

inline int MonitorPixelsPerInch(HWND) {
    return g_monitorPpi;
}

class TMonitorAt {
public:
    explicit TMonitorAt(int ppi) : m_previous(zv::SetPixelsPerInchSource(&MonitorPixelsPerInch)) {
        g_monitorPpi = ppi;
    }
    ~TMonitorAt() {
        zv::SetPixelsPerInchSource(m_previous);
        g_monitorPpi = 96;
    }
    TMonitorAt(const TMonitorAt&) = delete;
    TMonitorAt& operator=(const TMonitorAt&) = delete;

private:
    zv::TPixelsPerInchSource m_previous;
};

// Device pixel (x, y) of `big` against pixel (x / k, y / k) of `small`: the
// count of pixels that differ, -1 when the sizes are not k times.
inline int ReplicationMismatches(const zv::TPixelBuffer& small, const zv::TPixelBuffer& big, int k) {
    if (big.Width() != small.Width() * k || big.Height() != small.Height() * k) return -1;
    int bad = 0;
    for (int y = 0; y < big.Height(); ++y)
        for (int x = 0; x < big.Width(); ++x)
            if ((big.At(x, y) & 0xFFFFFFu) != (small.At(x / k, y / k) & 0xFFFFFFu)) ++bad;
    return bad;
}

}  // namespace zvtest
