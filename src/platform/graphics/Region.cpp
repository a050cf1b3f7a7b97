#include "platform/graphics/Region.h"

#include <QPolygon>
#include <algorithm>
#include <cmath>

#include "platform/graphics/RegionQt.h"

TRegion::TRegion() : FImpl(std::make_unique<Impl>()) {}
TRegion::TRegion(const TRegion& other) : FImpl(std::make_unique<Impl>(*other.FImpl)) {}
TRegion::TRegion(TRegion&& other) noexcept : FImpl(std::make_unique<Impl>()) {
    std::swap(FImpl->Region, other.FImpl->Region);
}
TRegion& TRegion::operator=(const TRegion& other) {
    if (this != &other) FImpl->Region = other.FImpl->Region;
    return *this;
}
TRegion& TRegion::operator=(TRegion&& other) noexcept {
    if (this != &other) std::swap(FImpl->Region, other.FImpl->Region);
    return *this;
}
TRegion::~TRegion() = default;

QRegion EllipseRegion(const QRect& box) {
    // Row by row, the pixels whose centres lie inside the ellipse inscribed in the box.
    if (box.isEmpty()) return QRegion();
    const double a = box.width() / 2.0, b = box.height() / 2.0;
    const double cx = box.left() + a, cy = box.top() + b;
    QRegion region;
    int spanLeft = 0, spanRight = -1, spanTop = box.top();
    auto flush = [&](int bottom) {
        if (spanRight >= spanLeft && bottom > spanTop)
            region += QRect(spanLeft, spanTop, spanRight - spanLeft + 1, bottom - spanTop);
    };
    for (int y = box.top(); y <= box.bottom(); ++y) {
        double t = (y + 0.5 - cy) / b;
        double half = t * t < 1.0 ? a * std::sqrt(1.0 - t * t) : 0.0;
        int l = static_cast<int>(std::ceil(cx - half - 0.5));
        int r = static_cast<int>(std::floor(cx + half - 0.5));
        l = std::max(l, box.left());
        r = std::min(r, box.right());
        if (l != spanLeft || r != spanRight) {
            flush(y);
            spanLeft = l;
            spanRight = r;
            spanTop = y;
        }
    }
    flush(box.bottom() + 1);
    return region;
}

QRegion RoundRectRegion(const QRect& box, int ellipseWidth, int ellipseHeight) {
    if (box.isEmpty()) return QRegion();
    int ew = std::min(std::abs(ellipseWidth), box.width()),
        eh = std::min(std::abs(ellipseHeight), box.height());
    QRegion region(box);
    if (ew < 2 || eh < 2) return region;
    int qw = ew / 2, qh = eh / 2;
    // Each corner loses the part of its quadrant that lies outside the corner ellipse.
    const int xs[2] = {box.left(), box.right() + 1 - ew};
    const int ys[2] = {box.top(), box.bottom() + 1 - eh};
    const int qx[2] = {box.left(), box.right() + 1 - qw};
    const int qy[2] = {box.top(), box.bottom() + 1 - qh};
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j) {
            QRegion quadrant(QRect(qx[i], qy[j], qw, qh));
            region -= quadrant.subtracted(EllipseRegion(QRect(xs[i], ys[j], ew, eh)));
        }
    return region;
}

TRegion RegionFromQt(const QRegion& region) {
    TRegion r;
    r.GetImpl().Region = region;
    return r;
}

TRegion TRegion::FromRect(const TRect& r) {
    if (r.IsEmpty()) return TRegion();
    return RegionFromQt(QRegion(RectToQt(r)));
}

TRegion TRegion::FromPolygon(std::span<const TPoint> points, int fillMode) {
    if (points.size() < 3) return TRegion();
    QPolygon poly;
    poly.reserve(static_cast<qsizetype>(points.size()));
    for (const TPoint& p : points)
        poly << QPoint(p.X, p.Y);
    return RegionFromQt(QRegion(poly, fillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill));
}

TRegion TRegion::FromEllipse(const TRect& r) {
    if (r.IsEmpty()) return TRegion();
    return RegionFromQt(EllipseRegion(RectToQt(r)));
}

TRegion TRegion::FromRoundRect(const TRect& r, int ellipseWidth, int ellipseHeight) {
    return RegionFromQt(RoundRectRegion(RectToQt(r), ellipseWidth, ellipseHeight));
}

bool TRegion::IsEmpty() const {
    return FImpl->Region.isEmpty();
}

int TRegion::Kind() const {
    if (FImpl->Region.isEmpty()) return NULLREGION;
    return FImpl->Region.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

TRect TRegion::GetBox() const {
    return RectFromQt(FImpl->Region.boundingRect());
}

bool TRegion::Contains(int x, int y) const {
    return FImpl->Region.contains(QPoint(x, y));
}

bool TRegion::Intersects(const TRect& r) const {
    return !r.IsEmpty() && FImpl->Region.intersects(RectToQt(r));
}

void TRegion::Offset(int dx, int dy) {
    FImpl->Region.translate(dx, dy);
}

std::vector<TRect> TRegion::GetRects() const {
    std::vector<TRect> out;
    for (const QRect& r : FImpl->Region)
        out.push_back(RectFromQt(r));
    return out;
}

TRegion TRegion::Intersected(const TRegion& o) const {
    return RegionFromQt(FImpl->Region.intersected(o.FImpl->Region));
}
TRegion TRegion::United(const TRegion& o) const {
    return RegionFromQt(FImpl->Region.united(o.FImpl->Region));
}
TRegion TRegion::Subtracted(const TRegion& o) const {
    return RegionFromQt(FImpl->Region.subtracted(o.FImpl->Region));
}
TRegion TRegion::Xored(const TRegion& o) const {
    return RegionFromQt(FImpl->Region.xored(o.FImpl->Region));
}

bool operator==(const TRegion& a, const TRegion& b) {
    return a.FImpl->Region == b.FImpl->Region;
}

TRegion CreateRectRgn(int left, int top, int right, int bottom) {
    return TRegion::FromRect({left, top, right, bottom});
}
TRegion CreateRectRgnIndirect(const TRect& r) {
    return TRegion::FromRect(r);
}
TRegion CreatePolygonRgn(const TPoint* points, int count, int fillMode) {
    if (!points || count <= 0) return TRegion();
    return TRegion::FromPolygon(std::span<const TPoint>(points, static_cast<size_t>(count)), fillMode);
}
TRegion CreatePolygonRgn(std::initializer_list<TPoint> points, int fillMode) {
    return TRegion::FromPolygon(std::span<const TPoint>(points.begin(), points.size()), fillMode);
}
TRegion CreateEllipticRgn(int left, int top, int right, int bottom) {
    return TRegion::FromEllipse({left, top, right, bottom});
}
TRegion CreateEllipticRgnIndirect(const TRect& r) {
    return TRegion::FromEllipse(r);
}
TRegion CreateRoundRectRgn(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight) {
    return TRegion::FromRoundRect({left, top, right, bottom}, ellipseWidth, ellipseHeight);
}

int CombineRgn(TRegion& dst, const TRegion& a, const TRegion& b, int mode) {
    switch (mode) {
    case RGN_AND:
        dst = a.Intersected(b);
        break;
    case RGN_OR:
        dst = a.United(b);
        break;
    case RGN_XOR:
        dst = a.Xored(b);
        break;
    case RGN_DIFF:
        dst = a.Subtracted(b);
        break;
    case RGN_COPY:
        dst = a;
        break;
    default:
        return RGN_ERROR;
    }
    return dst.Kind();
}

int OffsetRgn(TRegion& region, int dx, int dy) {
    region.Offset(dx, dy);
    return region.Kind();
}

int GetRgnBox(const TRegion& region, TRect& box) {
    box = region.GetBox();
    return region.Kind();
}

bool PtInRegion(const TRegion& region, int x, int y) {
    return region.Contains(x, y);
}
bool RectInRegion(const TRegion& region, const TRect& r) {
    return region.Intersects(r);
}
bool EqualRgn(const TRegion& a, const TRegion& b) {
    return a == b;
}
