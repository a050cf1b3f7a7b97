#pragma once
// Private to platform code: regions as Qt regions (window shapes, paint limits).

#include <QRect>
#include <QRegion>

#include "platform/graphics/Region.h"

struct TRegion::Impl {
    QRegion Region;
};

inline const QRegion& RegionToQt(const TRegion& region) {
    return region.GetImpl().Region;
}
TRegion RegionFromQt(const QRegion& region);
// The pixels whose centres lie inside the ellipse inscribed in the box.
QRegion EllipseRegion(const QRect& box);
// The box with its corners rounded by ellipses of the given width and height.
QRegion RoundRectRegion(const QRect& box, int ellipseWidth, int ellipseHeight);

inline QRect RectToQt(const TRect& r) {
    return QRect(r.Left, r.Top, r.Width(), r.Height());
}
inline TRect RectFromQt(const QRect& r) {
    return r.isEmpty() ? TRect{} : TRect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}
