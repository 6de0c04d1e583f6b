#pragma once
// A region as rows of horizontal spans: enough for rectangles and rounded rectangles, cheap to test a
// pixel against and to hand to XShape.

#include <utility>
#include <vector>

#include "display/win_types.h"

namespace display {

struct Region {
    RECT box;                                            // bounding box; rows[i] covers y = box.top + i
    std::vector<std::vector<std::pair<int, int>>> rows;  // [x0, x1) spans, ascending

    bool Contains(int x, int y) const;
    bool Empty() const;
    static Region Rect(int left, int top, int right, int bottom);
    static Region RoundRect(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight);
};

}  // namespace display
