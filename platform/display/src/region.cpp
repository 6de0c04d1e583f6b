#include "region.h"

#include <algorithm>
#include <cmath>

#include "display/window_api.h"

namespace display {

bool Region::Contains(int x, int y) const {
    if (y < box.top || y >= box.bottom) {
        return false;
    }
    for (const auto& [x0, x1] : rows[static_cast<std::size_t>(y - box.top)]) {
        if (x >= x0 && x < x1) {
            return true;
        }
    }
    return false;
}

bool Region::Empty() const {
    return std::all_of(rows.begin(), rows.end(), [](const auto& r) { return r.empty(); });
}

Region Region::Rect(int left, int top, int right, int bottom) {
    Region r;
    if (right < left) {
        std::swap(left, right);
    }
    if (bottom < top) {
        std::swap(top, bottom);
    }
    r.box = {left, top, right, bottom};
    r.rows.assign(static_cast<std::size_t>(bottom - top), {});
    if (right > left) {
        for (auto& row : r.rows) {
            row.emplace_back(left, right);
        }
    }
    return r;
}

// Each corner is a quarter of an ellipse of ellipseWidth x ellipseHeight; a pixel row is inside from
// the first to the last pixel whose centre lies within the rounded outline.
Region Region::RoundRect(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight) {
    Region r = Rect(left, top, right, bottom);
    int width = r.box.right - r.box.left;
    int height = r.box.bottom - r.box.top;
    double rx = std::min(std::abs(ellipseWidth), width) / 2.0;
    double ry = std::min(std::abs(ellipseHeight), height) / 2.0;
    if (rx < 1 || ry < 1) {
        return r;
    }
    for (int i = 0; i < height; ++i) {
        double cy = i + 0.5;  // pixel centre, relative to the top
        double dy = 0;
        if (cy < ry) {
            dy = ry - cy;
        } else if (cy > height - ry) {
            dy = cy - (height - ry);
        }
        double inset = 0;
        if (dy > 0) {
            double t = 1.0 - (dy * dy) / (ry * ry);
            inset = rx - rx * std::sqrt(std::max(0.0, t));
        }
        int skip = static_cast<int>(std::lround(inset));
        auto& row = r.rows[static_cast<std::size_t>(i)];
        row.clear();
        if (width - 2 * skip > 0) {
            row.emplace_back(r.box.left + skip, r.box.right - skip);
        }
    }
    return r;
}

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
    return new Region(Region::Rect(left, top, right, bottom));
}

// Like the window system's rounded-rectangle region, the right and bottom edges are exclusive, which
// is why callers pass width + 1 and height + 1 for a whole window.
HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight) {
    return new Region(Region::RoundRect(left, top, right - 1, bottom - 1, ellipseWidth, ellipseHeight));
}

bool DeleteObject(HRGN region) {
    delete region;
    return region != nullptr;
}

bool PtInRegion(HRGN region, int x, int y) {
    return region && region->Contains(x, y);
}

int GetRgnBox(HRGN region, RECT* box) {
    if (!region) {
        return ERROR_REGION;
    }
    if (box) {
        *box = region->box;
    }
    return region->Empty() ? NULLREGION : SIMPLEREGION;
}

}  // namespace display
