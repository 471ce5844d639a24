#include "platform/Geometry.h"

#include <algorithm>

namespace platform {

namespace {

// One direction: the far edge comes in first, then the near edge, so that a
// window larger than the area keeps its near edge on it.
int keepInside(int start, int length, int areaStart, int areaLength) {
    const int latest = areaStart + areaLength - length;
    return std::max(areaStart, std::min(start, latest));
}

} // namespace

QPoint keepOnScreen(const QRect& frame, const QRect& available) {
    if (!available.isValid())
        return frame.topLeft();
    return {keepInside(frame.left(), frame.width(), available.left(), available.width()),
            keepInside(frame.top(), frame.height(), available.top(), available.height())};
}

} // namespace platform
