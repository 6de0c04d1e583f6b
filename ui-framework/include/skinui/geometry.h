#pragma once
// Rectangles, points and sizes in device pixels. A rectangle covers [left, right) x [top, bottom).

namespace SkinUI {

struct Point {
    int x = 0;
    int y = 0;
};

struct Size {
    int cx = 0;
    int cy = 0;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool IsZero() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    bool operator==(const Rect&) const = default;
};

inline Rect Intersect(const Rect& a, const Rect& b) {
    Rect r{a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top,
           a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom};
    return r.IsEmpty() ? Rect{} : r;
}

inline bool Intersects(const Rect& a, const Rect& b) {
    return !Intersect(a, b).IsEmpty();
}

}  // namespace SkinUI
