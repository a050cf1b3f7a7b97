#include "platform/graphics/Canvas.h"

#include <QPaintEngine>
#include <QPainterPath>
#include <QPolygon>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/BitmapQt.h"
#include "platform/graphics/CanvasQt.h"
#include "platform/runtime/CodePage.h"

// ---- Inner state ----------------------------------------------------------------------------

const QFont& TCanvas::Impl::GetQtFont() {
    if (FontDirty || !QtFont) {
        // A grid assigns each cell's font before drawing it, mostly the same font again: the
        // metrics and cache key of an equal font stay.
        QFont fresh = FontToQt(*Font);
        if (!QtFont || !(fresh == *QtFont)) {
            QtFont = std::move(fresh);
            Metrics.reset();
            FontKey.reset();
        }
        FontDirty = false;
    }
    return *QtFont;
}

const QString& TCanvas::Impl::GetFontKey() {
    const QFont& font = GetQtFont();
    if (!FontKey) FontKey = font.key();
    return *FontKey;
}

const QFontMetrics& TCanvas::Impl::GetMetrics() {
    const QFont& font = GetQtFont();
    if (!Metrics) Metrics.emplace(font);
    return *Metrics;
}

QRect TCanvas::Impl::SurfaceRect() const {
    if (Image) return QRect(QPoint(0, 0), Image->deviceIndependentSize().toSize());
    if (External && External->device()) {
        // In the painter's own coordinates, which are the canvas's device coordinates.
        QRect dev(0, 0, External->device()->width(), External->device()->height());
        return External->worldTransform().inverted().mapRect(dev);
    }
    return QRect();
}

QRegion TCanvas::Impl::EffectiveClip() const {
    QRegion base = Limit ? Limit->intersected(SurfaceRect()) : QRegion(SurfaceRect());
    if (State.Clip) base = base.intersected(*State.Clip);
    return base;
}

QImage* TCanvas::Impl::ReadableImage(QPoint& offset) const {
    offset = QPoint(0, 0);
    if (Image) {
        if (Hooks.BeforeAccess) Hooks.BeforeAccess();
        return Image;
    }
    if (!External) return nullptr;
    QPaintDevice* dev = External->device();
    if (dev && dev->devType() == QInternal::Image) {
        QTransform t = External->deviceTransform();
        if (t.type() > QTransform::TxTranslate) return nullptr;
        offset = QPoint(int(t.dx()), int(t.dy()));
        return static_cast<QImage*>(dev);
    }
    // A widget painter on the raster backing store draws into an image of the whole window.
    QPaintEngine* engine = External->paintEngine();
    QPaintDevice* target = engine ? engine->paintDevice() : nullptr;
    if (target && target->devType() == QInternal::Image) {
        auto* img = static_cast<QImage*>(target);
        QTransform t = External->deviceTransform();
        if (t.type() > QTransform::TxTranslate || img->devicePixelRatio() != 1.0) return nullptr;
        offset = QPoint(int(t.dx()), int(t.dy()));
        return img;
    }
    return nullptr;
}

void TCanvas::Impl::BrushChanged() {
    State.BkColor = Brush->GetColor();
    State.BkMode = Brush->GetStyle() == bsClear ? TRANSPARENT : OPAQUE;
}

void TCanvas::Impl::FontChanged() {
    State.TextColor = Font->GetColor();
    FontDirty = true;
}

TCanvasPainter::TCanvasPainter(TCanvas::Impl& d, const QRegion* extraClip) : FCanvas(d) {
    if (d.Image) {
        if (d.Image->isNull()) return;
        if (d.Hooks.BeforeAccess) d.Hooks.BeforeAccess();
        FOwn.emplace(d.Image);
        FPainter = &*FOwn;
    } else if (d.External) {
        FPainter = d.External;
        FPainter->save();
    } else {
        return;
    }
    QRegion clip = d.EffectiveClip();
    if (extraClip) clip = clip.intersected(*extraClip);
    // A clip the owner of the painter set stays in force.
    FPainter->setClipRegion(clip, FPainter->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    FPainter->setRenderHint(QPainter::Antialiasing, false);
    FPainter->setRenderHint(QPainter::TextAntialiasing, false);
    FPainter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    FPainter->translate(-d.State.WindowOrg.X, -d.State.WindowOrg.Y);
}

TCanvasPainter::~TCanvasPainter() {
    if (!FPainter) return;
    if (FOwn) {
        FOwn->end();
        if (FCanvas.Hooks.AfterChange) FCanvas.Hooks.AfterChange();
    } else {
        FPainter->restore();
    }
}

void AttachCanvas(TCanvas& canvas, QImage* image, const QRegion* limit, TCanvasSurfaceHooks hooks) {
    TCanvas::Impl& d = canvas.GetImpl();
    d.Image = image;
    d.External = nullptr;
    d.Limit = limit ? std::optional<QRegion>(*limit) : std::nullopt;
    d.Hooks = std::move(hooks);
    d.State.Clip.reset();
    d.State.WindowOrg = {};
    d.State.BrushOrg = {};
    d.Saved.clear();
}

void AttachCanvas(TCanvas& canvas, QPainter* painter, const QRegion* limit) {
    TCanvas::Impl& d = canvas.GetImpl();
    d.Image = nullptr;
    d.External = painter;
    d.Limit = limit ? std::optional<QRegion>(*limit) : std::nullopt;
    d.Hooks = {};
    d.State.Clip.reset();
    d.State.WindowOrg = {};
    d.State.BrushOrg = {};
    d.Saved.clear();
}

void DetachCanvas(TCanvas& canvas) {
    TCanvas::Impl& d = canvas.GetImpl();
    d.Image = nullptr;
    d.External = nullptr;
    d.Limit.reset();
    d.Hooks = {};
    d.State.Clip.reset();
    d.Saved.clear();
}

// ---- Raster operations ----------------------------------------------------------------------

namespace {
bool gDirectFills = true;
} // namespace

void SetDirectFills(bool Enabled) {
    gDirectFills = Enabled;
}
bool GetDirectFills() {
    return gDirectFills;
}

namespace {

struct Rop {
    bool Skip = false;
    QPainter::CompositionMode Mode = QPainter::CompositionMode_Source;
    QColor Color;
};

Rop PenRop(TPenMode mode, TColor color) {
    QColor c = ColorToQt(color);
    switch (mode) {
    case pmBlack:
        return {false, QPainter::CompositionMode_Source, QColor(0, 0, 0)};
    case pmWhite:
        return {false, QPainter::CompositionMode_Source, QColor(255, 255, 255)};
    case pmNop:
        return {true, QPainter::CompositionMode_Source, c};
    case pmNot:
        return {false, QPainter::RasterOp_NotDestination, c};
    case pmCopy:
        return {false, QPainter::CompositionMode_Source, c};
    case pmNotCopy:
        return {false, QPainter::RasterOp_NotSource, c};
    case pmMergePenNot:
        return {false, QPainter::RasterOp_SourceOrNotDestination, c};
    case pmMaskPenNot:
        return {false, QPainter::RasterOp_SourceAndNotDestination, c};
    case pmMergeNotPen:
        return {false, QPainter::RasterOp_NotSourceOrDestination, c};
    case pmMaskNotPen:
        return {false, QPainter::RasterOp_NotSourceAndDestination, c};
    case pmMerge:
        return {false, QPainter::RasterOp_SourceOrDestination, c};
    case pmNotMerge:
        return {false, QPainter::RasterOp_NotSourceAndNotDestination, c};
    case pmMask:
        return {false, QPainter::RasterOp_SourceAndDestination, c};
    case pmNotMask:
        return {false, QPainter::RasterOp_NotSourceOrNotDestination, c};
    case pmXor:
        return {false, QPainter::RasterOp_SourceXorDestination, c};
    case pmNotXor:
        return {false, QPainter::RasterOp_NotSourceXorDestination, c};
    }
    return {false, QPainter::CompositionMode_Source, c};
}

// Dash patterns of one-pixel pens, in pixels: on, off, on, off ...
std::vector<int> PenPattern(TPenStyle style) {
    switch (style) {
    case psDash:
        return {18, 6};
    case psDot:
        return {3, 3};
    case psDashDot:
        return {9, 6, 3, 6};
    case psDashDotDot:
        return {9, 3, 3, 3, 3, 3};
    case psAlternate:
        return {1, 1};
    default:
        return {};
    }
}

// Pixels of the line from a to b, b excluded, that fall within bounds (logical). offset counts the
// pixels of the earlier segments of the same path, for the phase of the dash pattern (dashOn:
// whether each position of one pattern period is drawn; empty for solid lines).
void LinePixels(TPoint a, TPoint b, const QRect& bounds, long long offset, const std::vector<bool>& dashOn,
                std::vector<QPoint>& on, std::vector<QPoint>* off) {
    long long dx = static_cast<long long>(b.X) - a.X, dy = static_cast<long long>(b.Y) - a.Y;
    long long adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    long long n = std::max(adx, ady);
    if (n == 0 || bounds.isEmpty()) return;
    int sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
    bool xMajor = adx >= ady;
    // Only the steps whose major coordinate lies within the bounds.
    long long start = xMajor ? a.X : a.Y, step = xMajor ? sx : sy;
    long long lo = xMajor ? bounds.left() : bounds.top(), hi = xMajor ? bounds.right() : bounds.bottom();
    long long i0 = 0, i1 = n - 1;
    if (step > 0) {
        i0 = std::max(i0, lo - start);
        i1 = std::min(i1, hi - start);
    } else {
        i0 = std::max(i0, start - hi);
        i1 = std::min(i1, start - lo);
    }
    for (long long i = i0; i <= i1; ++i) {
        // The minor coordinate rounded to nearest, halves away from the start.
        long long x, y;
        if (xMajor) {
            x = a.X + sx * i;
            y = a.Y + sy * ((2 * i * ady + adx) / (2 * adx));
        } else {
            y = a.Y + sy * i;
            x = a.X + sx * ((2 * i * adx + ady) / (2 * ady));
        }
        if (y < bounds.top() || y > bounds.bottom() || x < bounds.left() || x > bounds.right()) continue;
        QPoint q(static_cast<int>(x), static_cast<int>(y));
        if (dashOn.empty() ||
            dashOn[static_cast<size_t>((offset + i) % static_cast<long long>(dashOn.size()))])
            on.push_back(q);
        else if (off)
            off->push_back(q);
    }
}

// Opaque fills that replace the pixels go straight into a 32-bit image: a painter per call costs
// far more than the fill when the grid draws a gradient line by line and its grid lines one by
// one. The pixels written are the ones a painter with the canvas's clip and the source mode would
// write. Other surfaces and formats return false and take the painter.
bool FillDirect(TCanvas::Impl& d, std::span<const QRect> logical, const QColor& color) {
    QImage* img = d.Image;
    if (!img || d.External || !gDirectFills) return false;
    if (img->isNull()) return true; // as the painter: nothing to draw on
    if (d.Hooks.BeforeAccess) d.Hooks.BeforeAccess();
    const QImage::Format f = img->format();
    if ((f != QImage::Format_RGB32 && f != QImage::Format_ARGB32 &&
         f != QImage::Format_ARGB32_Premultiplied) ||
        img->devicePixelRatio() != 1.0)
        return false;
    const QRgb value = color.rgba() | 0xFF000000u;
    const QRegion clip = d.EffectiveClip();
    const QPoint toDevice(-d.State.WindowOrg.X, -d.State.WindowOrg.Y);
    bool changed = false;
    for (const QRect& l : logical) {
        const QRect dev = l.translated(toDevice);
        for (const QRect& c : clip) {
            const QRect r = dev.intersected(c);
            if (r.isEmpty()) continue;
            if (!changed) {
                changed = true;
                img->bits(); // detach a shared image once, as a painter would
            }
            const qsizetype stride = img->bytesPerLine();
            uchar* base = img->bits() + static_cast<qsizetype>(r.top()) * stride;
            for (int y = r.top(); y <= r.bottom(); ++y, base += stride) {
                QRgb* row = reinterpret_cast<QRgb*>(base) + r.left();
                std::fill(row, row + r.width(), value);
            }
        }
    }
    if (d.Hooks.AfterChange) d.Hooks.AfterChange();
    return true;
}

// The rectangles of the given pixels, merging horizontal and vertical neighbours into runs.
std::vector<QRect> PixelRuns(const std::vector<QPoint>& px) {
    std::vector<QRect> runs;
    size_t i = 0;
    while (i < px.size()) {
        size_t j = i + 1;
        int dxRun = 0, dyRun = 0;
        if (j < px.size()) {
            dxRun = px[j].x() - px[i].x();
            dyRun = px[j].y() - px[i].y();
            if (!((std::abs(dxRun) == 1 && dyRun == 0) || (dxRun == 0 && std::abs(dyRun) == 1)))
                dxRun = dyRun = 0;
        }
        if (dxRun != 0 || dyRun != 0) {
            while (j < px.size() && px[j].x() - px[j - 1].x() == dxRun && px[j].y() - px[j - 1].y() == dyRun)
                ++j;
        }
        QPoint s = px[i], e = px[j - 1];
        runs.emplace_back(QPoint(std::min(s.x(), e.x()), std::min(s.y(), e.y())),
                          QPoint(std::max(s.x(), e.x()), std::max(s.y(), e.y())));
        i = j;
    }
    return runs;
}

// Fills the rectangles with the color in the painter's mode.
void FillRects(QPainter& p, std::span<const QRect> rects, const QColor& color) {
    for (const QRect& r : rects)
        p.fillRect(r, color);
}

} // namespace

// ---- TCanvas ----------------------------------------------------------------------------------

TCanvas::TCanvas() : FImpl(std::make_unique<Impl>()) {
    Impl& d = *FImpl;
    d.Owner = this;
    d.Font = std::make_unique<TFont>();
    d.Pen = std::make_unique<TPen>();
    d.Brush = std::make_unique<TBrush>();
    d.Font->OnChange = [&d] { d.FontChanged(); };
    d.Brush->OnChange = [&d] { d.BrushChanged(); };
    d.FontChanged();
    d.BrushChanged();
}

TCanvas::~TCanvas() = default;

TFont* TCanvas::GetFont() const {
    return FImpl->Font.get();
}
void TCanvas::SetFont(const TFont& v) {
    FImpl->Font->Assign(v);
}
void TCanvas::SetFont(const TFont* v) {
    FImpl->Font->Assign(v);
}
TPen* TCanvas::GetPen() const {
    return FImpl->Pen.get();
}
void TCanvas::SetPen(const TPen& v) {
    FImpl->Pen->Assign(v);
}
void TCanvas::SetPen(const TPen* v) {
    FImpl->Pen->Assign(v);
}
TBrush* TCanvas::GetBrush() const {
    return FImpl->Brush.get();
}
void TCanvas::SetBrush(const TBrush& v) {
    FImpl->Brush->Assign(v);
}
void TCanvas::SetBrush(const TBrush* v) {
    FImpl->Brush->Assign(v);
}
TCopyMode TCanvas::GetCopyMode() const {
    return FImpl->CopyMode;
}
void TCanvas::SetCopyMode(TCopyMode v) {
    FImpl->CopyMode = v;
}
bool TCanvas::HandleAllocated() const {
    return FImpl->Attached();
}

TPoint TCanvas::GetPenPos() const {
    return FImpl->PenPos;
}
void TCanvas::SetPenPos(const TPoint& p) {
    FImpl->PenPos = p;
}
void TCanvas::MoveTo(int x, int y) {
    FImpl->PenPos = {x, y};
}

namespace {

// Strokes connected lines with the canvas's pen; the last point is left unpainted unless closed.
void StrokePath(TCanvas::Impl& d, std::span<const TPoint> pts, bool closed) {
    const TPen& pen = *d.Pen;
    if (pen.GetStyle() == psClear || pts.size() < 2) return;
    Rop rop = PenRop(pen.GetMode(), pen.GetColor());
    if (rop.Skip) return;
    if (pen.GetWidth() <= 1) {
        // Styled lines: the gaps take the background color unless the background is transparent.
        std::vector<bool> dashOn;
        std::vector<int> pattern = PenPattern(pen.GetStyle());
        for (size_t k = 0; k < pattern.size(); ++k)
            dashOn.insert(dashOn.end(), static_cast<size_t>(pattern[k]), k % 2 == 0);
        QRect bounds = d.EffectiveClip().boundingRect().translated(d.State.WindowOrg.X, d.State.WindowOrg.Y);
        std::vector<QPoint> on, off;
        std::vector<QPoint>* gaps = d.State.BkMode == OPAQUE ? &off : nullptr;
        std::vector<QRect> onRuns;
        auto flush = [&] {
            const std::vector<QRect> runs = PixelRuns(on);
            onRuns.insert(onRuns.end(), runs.begin(), runs.end());
            on.clear();
        };
        long long offset = 0;
        auto segment = [&](TPoint from, TPoint to) {
            if (gDirectFills && dashOn.empty() && (from.X == to.X) != (from.Y == to.Y)) {
                // A solid horizontal or vertical segment is one run: its pixels from the start up
                // to the end, which is left out.
                flush();
                long long x0 = from.X, x1 = to.X, y0 = from.Y, y1 = to.Y;
                if (x1 != x0) x1 += x1 > x0 ? -1 : 1;
                if (y1 != y0) y1 += y1 > y0 ? -1 : 1;
                const long long l = std::max<long long>(std::min(x0, x1), bounds.left());
                const long long r = std::min<long long>(std::max(x0, x1), bounds.right());
                const long long t = std::max<long long>(std::min(y0, y1), bounds.top());
                const long long b = std::min<long long>(std::max(y0, y1), bounds.bottom());
                if (!bounds.isEmpty() && l <= r && t <= b)
                    onRuns.emplace_back(QPoint(int(l), int(t)), QPoint(int(r), int(b)));
            } else {
                LinePixels(from, to, bounds, offset, dashOn, on, gaps);
            }
            offset += std::max(std::llabs(static_cast<long long>(to.X) - from.X),
                               std::llabs(static_cast<long long>(to.Y) - from.Y));
        };
        for (size_t i = 0; i + 1 < pts.size(); ++i)
            segment(pts[i], pts[i + 1]);
        if (closed) segment(pts.back(), pts.front());
        flush();
        const std::vector<QRect> offRuns = PixelRuns(off);
        const QColor gapColor = PenRop(pen.GetMode(), d.State.BkColor).Color;
        if (rop.Mode == QPainter::CompositionMode_Source && FillDirect(d, onRuns, rop.Color)) {
            if (!offRuns.empty()) FillDirect(d, offRuns, gapColor);
            return;
        }
        TCanvasPainter p(d);
        if (!p.Active()) return;
        p->setCompositionMode(rop.Mode);
        FillRects(*p, onRuns, rop.Color);
        FillRects(*p, offRuns, gapColor);
        return;
    }
    TCanvasPainter p(d);
    if (!p.Active()) return;
    p->setCompositionMode(rop.Mode);
    // Wide pens: geometric lines through the pixel centres with round ends and joins.
    QPen qp(rop.Color, pen.GetWidth(), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    switch (pen.GetStyle()) {
    case psDash:
        qp.setStyle(Qt::DashLine);
        break;
    case psDot:
        qp.setStyle(Qt::DotLine);
        break;
    case psDashDot:
        qp.setStyle(Qt::DashDotLine);
        break;
    case psDashDotDot:
        qp.setStyle(Qt::DashDotDotLine);
        break;
    default:
        break;
    }
    p->setPen(qp);
    p->setBrush(Qt::NoBrush);
    QPolygonF poly;
    for (const TPoint& t : pts)
        poly << QPointF(t.X + 0.5, t.Y + 0.5);
    if (closed)
        p->drawPolygon(poly);
    else
        p->drawPolyline(poly);
}

// Fills a path (or a region) with the brush, combined by the given mode.
void FillWithBrush(TCanvas::Impl& d, const QPainterPath& path, const QRegion* regionInstead, TPenMode mode) {
    const TBrush& brush = *d.Brush;
    if (brush.GetStyle() == bsClear) return;
    Rop rop = PenRop(mode, brush.GetColor());
    if (rop.Skip) return;
    if (regionInstead && brush.GetStyle() == bsSolid && rop.Mode == QPainter::CompositionMode_Source &&
        FillDirect(d, std::span<const QRect>(regionInstead->begin(), regionInstead->end()), rop.Color))
        return;
    TCanvasPainter p(d);
    if (!p.Active()) return;
    p->setCompositionMode(rop.Mode);
    p->setPen(Qt::NoPen);
    auto fill = [&](const QBrush& b) {
        if (regionInstead) {
            for (const QRect& r : *regionInstead)
                p->fillRect(r, b);
        } else {
            p->fillPath(path, b);
        }
    };
    if (brush.GetStyle() == bsSolid) {
        fill(QBrush(rop.Color));
        return;
    }
    if (d.State.BkMode == OPAQUE) fill(QBrush(PenRop(mode, d.State.BkColor).Color));
    Qt::BrushStyle hatch = Qt::HorPattern;
    switch (brush.GetStyle()) {
    case bsVertical:
        hatch = Qt::VerPattern;
        break;
    case bsFDiagonal:
        hatch = Qt::FDiagPattern;
        break;
    case bsBDiagonal:
        hatch = Qt::BDiagPattern;
        break;
    case bsCross:
        hatch = Qt::CrossPattern;
        break;
    case bsDiagCross:
        hatch = Qt::DiagCrossPattern;
        break;
    default:
        break;
    }
    p->setBrushOrigin(d.State.BrushOrg.X, d.State.BrushOrg.Y);
    fill(QBrush(rop.Color, hatch));
}

void FillRectWithBrush(TCanvas::Impl& d, int l, int t, int r, int b, TPenMode mode) {
    if (r <= l || b <= t) return;
    QRegion region(l, t, r - l, b - t);
    FillWithBrush(d, QPainterPath(), &region, mode);
}

// The one-pixel frame of a rectangle.
QRegion FrameRegion(const QRect& r) {
    QRegion frame(r);
    if (r.width() > 2 && r.height() > 2) frame -= QRegion(r.adjusted(1, 1, -1, -1));
    return frame;
}

} // namespace

void TCanvas::LineTo(int x, int y) {
    TPoint pts[2] = {FImpl->PenPos, {x, y}};
    StrokePath(*FImpl, pts, false);
    FImpl->PenPos = {x, y};
}

void TCanvas::Polyline(std::span<const TPoint> points) {
    StrokePath(*FImpl, points, false);
}

void TCanvas::Polygon(std::span<const TPoint> points) {
    if (points.size() < 2) return;
    Impl& d = *FImpl;
    if (points.size() >= 3 && d.Brush->GetStyle() != bsClear) {
        // The interior: pixels whose centres lie inside, as the polygon region has it.
        QPolygon poly;
        for (const TPoint& t : points)
            poly << QPoint(t.X, t.Y);
        QRegion region(poly, d.State.PolyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
        if (d.Pen->GetMode() != pmCopy && d.Pen->GetStyle() != psClear && d.Pen->GetWidth() <= 1) {
            // With a combining mode no pixel may be touched twice: leave the outline to the pen.
            std::vector<QPoint> outline;
            QRect bounds = region.boundingRect();
            for (size_t i = 0; i < points.size(); ++i)
                LinePixels(points[i], points[(i + 1) % points.size()], bounds, 0, {}, outline, nullptr);
            QRegion edge;
            for (const QPoint& q : outline)
                edge += QRect(q, QSize(1, 1));
            region -= edge;
        }
        FillWithBrush(d, QPainterPath(), &region, d.Pen->GetMode());
    }
    StrokePath(d, points, true);
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
    Impl& d = *FImpl;
    if (right < left) std::swap(left, right);
    if (bottom < top) std::swap(top, bottom);
    const TPen& pen = *d.Pen;
    TPenMode mode = pen.GetMode();
    if (pen.GetStyle() == psClear) {
        // Without an outline the fill stops one pixel short on the right and at the bottom.
        FillRectWithBrush(d, left, top, right - 1, bottom - 1, mode);
        return;
    }
    int w = pen.GetWidth();
    if (w > 1 && pen.GetStyle() == psInsideFrame) {
        FillRectWithBrush(d, left + w, top + w, right - w, bottom - w, mode);
        int a = w / 2, b = (w - 1) / 2;
        TPoint pts[4] = {{left + a, top + a},
                         {right - 1 - b, top + a},
                         {right - 1 - b, bottom - 1 - b},
                         {left + a, bottom - 1 - b}};
        StrokePath(d, pts, true);
        return;
    }
    FillRectWithBrush(d, left + 1, top + 1, right - 1, bottom - 1, mode);
    if (right <= left || bottom <= top) return;
    if (w <= 1 && (pen.GetStyle() == psSolid || pen.GetStyle() == psInsideFrame)) {
        Rop rop = PenRop(mode, pen.GetColor());
        if (rop.Skip) return;
        const QRegion frame = FrameRegion(QRect(left, top, right - left, bottom - top));
        if (rop.Mode == QPainter::CompositionMode_Source &&
            FillDirect(d, std::span<const QRect>(frame.begin(), frame.end()), rop.Color))
            return;
        TCanvasPainter p(d);
        if (!p.Active()) return;
        p->setCompositionMode(rop.Mode);
        for (const QRect& q : frame)
            p->fillRect(q, rop.Color);
        return;
    }
    TPoint pts[4] = {{left, top}, {right - 1, top}, {right - 1, bottom - 1}, {left, bottom - 1}};
    StrokePath(d, pts, true);
}

namespace {

// Ellipses and rounded rectangles through Qt's aliased rasteriser, whose outline of a QRect covers
// width + 1 pixels: the shape fits the pixels left .. right - 1.
void DrawRounded(TCanvas::Impl& d, int l, int t, int r, int b, bool ellipse, int rx, int ry) {
    if (r < l) std::swap(l, r);
    if (b < t) std::swap(t, b);
    if (r - l < 1 || b - t < 1) return;
    const TPen& pen = *d.Pen;
    QRect rect(l, t, r - l - 1, b - t - 1);
    auto shape = [&](QPainter& p) {
        if (ellipse)
            p.drawEllipse(rect);
        else
            p.drawRoundedRect(rect, rx / 2.0, ry / 2.0);
    };
    if (d.Brush->GetStyle() != bsClear) {
        Rop rop = PenRop(pen.GetMode(), d.Brush->GetColor());
        TCanvasPainter p(d);
        if (p.Active() && !rop.Skip) {
            p->setCompositionMode(rop.Mode);
            p->setPen(Qt::NoPen);
            p->setBrush(rop.Color);
            shape(*p);
        }
    }
    if (pen.GetStyle() != psClear) {
        Rop rop = PenRop(pen.GetMode(), pen.GetColor());
        TCanvasPainter p(d);
        if (p.Active() && !rop.Skip) {
            p->setCompositionMode(rop.Mode);
            QPen qp(rop.Color, pen.GetWidth() <= 1 ? 0 : pen.GetWidth());
            p->setPen(qp);
            p->setBrush(Qt::NoBrush);
            shape(*p);
        }
    }
}

} // namespace

namespace {

// Shapes with one-pixel outlines, given as their region: the outline is the pixels with a
// neighbour outside, the fill the rest, so no pixel is touched twice (which matters for the
// combining modes).
void DrawRegionShape(TCanvas::Impl& d, const QRegion& all) {
    QRegion inner = all.intersected(all.translated(1, 0))
                        .intersected(all.translated(-1, 0))
                        .intersected(all.translated(0, 1))
                        .intersected(all.translated(0, -1));
    if (d.Pen->GetStyle() == psClear) {
        FillWithBrush(d, QPainterPath(), &all, d.Pen->GetMode());
        return;
    }
    FillWithBrush(d, QPainterPath(), &inner, d.Pen->GetMode());
    Rop rop = PenRop(d.Pen->GetMode(), d.Pen->GetColor());
    TCanvasPainter p(d);
    if (!p.Active() || rop.Skip) return;
    p->setCompositionMode(rop.Mode);
    for (const QRect& q : all.subtracted(inner))
        p->fillRect(q, rop.Color);
}

} // namespace

void TCanvas::RoundRect(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight) {
    Impl& d = *FImpl;
    if (d.Pen->GetWidth() > 1) {
        DrawRounded(d, left, top, right, bottom, false, ellipseWidth, ellipseHeight);
        return;
    }
    if (right < left) std::swap(left, right);
    if (bottom < top) std::swap(top, bottom);
    if (right - left < 1 || bottom - top < 1) return;
    DrawRegionShape(
        d, RoundRectRegion(QRect(left, top, right - left, bottom - top), ellipseWidth, ellipseHeight));
}

void TCanvas::Ellipse(int left, int top, int right, int bottom) {
    Impl& d = *FImpl;
    if (d.Pen->GetWidth() > 1) {
        DrawRounded(d, left, top, right, bottom, true, 0, 0);
        return;
    }
    if (right < left) std::swap(left, right);
    if (bottom < top) std::swap(top, bottom);
    if (right - left < 1 || bottom - top < 1) return;
    DrawRegionShape(d, EllipseRegion(QRect(left, top, right - left, bottom - top)));
}

void TCanvas::FillRect(const TRect& r) {
    // Filling ignores the pen's mode: it always copies the brush.
    FillRectWithBrush(*FImpl, r.Left, r.Top, r.Right, r.Bottom, pmCopy);
}

void TCanvas::FrameRect(const TRect& r) {
    Impl& d = *FImpl;
    if (r.IsEmpty() || d.Brush->GetStyle() == bsClear) return;
    const QColor c = ColorToQt(d.Brush->GetColor());
    const QRegion frame = FrameRegion(RectToQt(r));
    if (FillDirect(d, std::span<const QRect>(frame.begin(), frame.end()), c)) return;
    TCanvasPainter p(d);
    if (!p.Active()) return;
    p->setCompositionMode(QPainter::CompositionMode_Source);
    for (const QRect& q : frame)
        p->fillRect(q, c);
}

void TCanvas::InvertRect(const TRect& r) {
    if (r.IsEmpty()) return;
    TCanvasPainter p(*FImpl);
    if (!p.Active()) return;
    p->setCompositionMode(QPainter::RasterOp_NotDestination);
    p->fillRect(RectToQt(r), Qt::black);
}

void TCanvas::DrawFocusRect(const TRect& r) {
    Impl& d = *FImpl;
    if (r.IsEmpty()) return;
    TCanvasPainter p(d);
    if (!p.Active()) return;
    // Every pixel of the frame is combined once by exclusive-or: pixels on one checkerboard parity
    // with the text color, the others with the background color. With black background and white
    // text this inverts every other pixel; doing it again restores them.
    QColor even = ColorToQt(d.State.TextColor), odd = ColorToQt(d.State.BkColor);
    p->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    auto dot = [&](int x, int y) {
        int dx = x - d.State.WindowOrg.X - d.State.BrushOrg.X;
        int dy = y - d.State.WindowOrg.Y - d.State.BrushOrg.Y;
        const QColor& c = ((dx + dy) & 1) == 0 ? even : odd;
        if (c != QColor(0, 0, 0)) p->fillRect(QRect(x, y, 1, 1), c);
    };
    for (int x = r.Left; x < r.Right; ++x) {
        dot(x, r.Top);
        if (r.Bottom - 1 > r.Top) dot(x, r.Bottom - 1);
    }
    for (int y = r.Top + 1; y < r.Bottom - 1; ++y) {
        dot(r.Left, y);
        if (r.Right - 1 > r.Left) dot(r.Right - 1, y);
    }
}

TColor TCanvas::GetPixels(int x, int y) const {
    Impl& d = *FImpl;
    QPoint dev(x - d.State.WindowOrg.X, y - d.State.WindowOrg.Y);
    if (!d.Attached() || !d.EffectiveClip().contains(dev)) return CLR_INVALID;
    QPoint off;
    QImage* img = d.ReadableImage(off);
    if (!img) return CLR_INVALID;
    QPoint at = dev + off;
    // An image kept at a device's resolution holds each logical pixel's top-left in one pixel.
    const qreal ratio = img->devicePixelRatio();
    at = QPoint(int(at.x() * ratio), int(at.y() * ratio));
    if (!img->rect().contains(at)) return CLR_INVALID;
    return ColorFromQt(img->pixel(at));
}

void TCanvas::SetPixels(int x, int y, TColor color) {
    TCanvasPainter p(*FImpl);
    if (!p.Active()) return;
    p->setCompositionMode(QPainter::CompositionMode_Source);
    p->fillRect(QRect(x, y, 1, 1), ColorToQt(color));
}

namespace {

// Copies a source image onto the canvas with a copy mode.
void BlitImage(TCanvas::Impl& d, const QRect& dest, const QImage& src, TCopyMode mode) {
    TCanvasPainter p(d);
    if (!p.Active()) return;
    switch (mode) {
    case cmBlackness:
        p->setCompositionMode(QPainter::CompositionMode_Source);
        p->fillRect(dest, Qt::black);
        return;
    case cmWhiteness:
        p->setCompositionMode(QPainter::CompositionMode_Source);
        p->fillRect(dest, Qt::white);
        return;
    case cmDstInvert:
        p->setCompositionMode(QPainter::RasterOp_NotDestination);
        p->fillRect(dest, Qt::black);
        return;
    case cmPatCopy:
        p->setCompositionMode(QPainter::CompositionMode_Source);
        p->fillRect(dest, ColorToQt(d.Brush->GetColor()));
        return;
    case cmPatInvert:
        p->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p->fillRect(dest, ColorToQt(d.Brush->GetColor()));
        return;
    default:
        break;
    }
    QImage img = src.format() == QImage::Format_RGB32 ? src : src.convertToFormat(QImage::Format_RGB32);
    if (mode == cmMergeCopy) {
        // Source AND brush.
        QRgb b = ColorToQt(d.Brush->GetColor()).rgb();
        for (int y = 0; y < img.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
            for (int x = 0; x < img.width(); ++x)
                row[x] = (row[x] & b) | 0xFF000000u;
        }
        mode = cmSrcCopy;
    }
    QPainter::CompositionMode cm = QPainter::CompositionMode_Source;
    switch (mode) {
    case cmSrcAnd:
        cm = QPainter::RasterOp_SourceAndDestination;
        break;
    case cmSrcInvert:
        cm = QPainter::RasterOp_SourceXorDestination;
        break;
    case cmSrcPaint:
        cm = QPainter::RasterOp_SourceOrDestination;
        break;
    case cmNotSrcCopy:
        cm = QPainter::RasterOp_NotSource;
        break;
    case cmMergePaint:
        cm = QPainter::RasterOp_NotSourceOrDestination;
        break;
    case cmSrcErase:
        cm = QPainter::RasterOp_SourceAndNotDestination;
        break;
    case cmNotSrcErase:
        cm = QPainter::RasterOp_NotSourceAndNotDestination;
        break;
    default:
        break;
    }
    p->setCompositionMode(cm);
    p->drawImage(dest.topLeft(), img);
}

// The image scaled to the destination size; negative sizes mirror it.
QImage Fit(const QImage& src, int w, int h) {
    QImage img = src;
    if (w < 0 || h < 0) img = img.mirrored(w < 0, h < 0);
    int aw = std::abs(w), ah = std::abs(h);
    if (img.width() != aw || img.height() != ah)
        img = img.scaled(aw, ah, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    return img;
}

QRect NormalizedDest(const TRect& r) {
    return QRect(std::min(r.Left, r.Right), std::min(r.Top, r.Bottom), std::abs(r.Width()),
                 std::abs(r.Height()));
}

} // namespace

void TCanvas::CopyRect(const TRect& dest, const TCanvas& source, const TRect& sourceRect) {
    Impl& s = *source.FImpl;
    if (dest.Width() == 0 || dest.Height() == 0 || sourceRect.Width() == 0 || sourceRect.Height() == 0)
        return;
    QPoint off;
    QImage* img = s.ReadableImage(off);
    if (!img) return;
    TRect sr = sourceRect;
    bool flipX = sr.Width() < 0, flipY = sr.Height() < 0;
    if (flipX) std::swap(sr.Left, sr.Right);
    if (flipY) std::swap(sr.Top, sr.Bottom);
    QRect devSrc(sr.Left - s.State.WindowOrg.X + off.x(), sr.Top - s.State.WindowOrg.Y + off.y(), sr.Width(),
                 sr.Height());
    const qreal ratio = img->devicePixelRatio();
    if (ratio != 1.0)
        devSrc = QRect(int(devSrc.x() * ratio), int(devSrc.y() * ratio),
                       int(std::ceil(devSrc.width() * ratio)), int(std::ceil(devSrc.height() * ratio)));
    // copy() fills the parts outside the source with zeros: black, as the classic copy reads them.
    QImage part = img->copy(devSrc).convertToFormat(QImage::Format_RGB32);
    part.setDevicePixelRatio(1.0);
    if (flipX || flipY) part = part.mirrored(flipX, flipY);
    BlitImage(*FImpl, NormalizedDest(dest), Fit(part, dest.Width(), dest.Height()), FImpl->CopyMode);
}

namespace {

// The scale factor of the pixels the canvas draws on.
qreal SurfaceRatio(const TCanvas::Impl& d) {
    if (d.Image) return d.Image->devicePixelRatio();
    if (d.External && d.External->device()) return d.External->device()->devicePixelRatioF();
    return 1.0;
}

// A bitmap's detail picture in place of its own on a HiDPI surface: the same place, twice the
// pixels.
bool DrawDetail(TCanvas::Impl& d, const QRect& target, const TBitmap& bitmap) {
    const TBitmap* detail = bitmap.GetDetail();
    if (!detail || detail->GetEmpty() || SurfaceRatio(d) < 1.5 || target.width() != bitmap.GetWidth() ||
        target.height() != bitmap.GetHeight() || (!bitmap.GetTransparent() && d.CopyMode != cmSrcCopy))
        return false;
    QImage img = Fit(BitmapImageRGB32(*detail), target.width() * 2, target.height() * 2)
                     .convertToFormat(QImage::Format_ARGB32);
    if (bitmap.GetTransparent()) {
        TColor keyColor = bitmap.GetTransparentMode() == tmAuto ? ColorFromQt(img.pixel(0, img.height() - 1))
                                                                : bitmap.GetTransparentColor();
        QRgb key = ColorToQt(keyColor).rgb() & 0xFFFFFFu;
        for (int y = 0; y < img.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
            for (int x = 0; x < img.width(); ++x)
                row[x] = (row[x] & 0xFFFFFFu) == key ? 0u : (row[x] | 0xFF000000u);
        }
    }
    img.setDevicePixelRatio(2.0);
    TCanvasPainter p(d);
    if (!p.Active()) return true;
    p->setCompositionMode(bitmap.GetTransparent() ? QPainter::CompositionMode_SourceOver
                                                  : QPainter::CompositionMode_Source);
    p->setRenderHint(QPainter::SmoothPixmapTransform, true);
    p->drawImage(QRectF(target), img);
    return true;
}

void DrawBitmapScaled(TCanvas::Impl& d, const TRect& dest, const TBitmap& bitmap) {
    if (bitmap.GetEmpty() || dest.Width() == 0 || dest.Height() == 0) return;
    QRect target = NormalizedDest(dest);
    if (DrawDetail(d, target, bitmap)) return;
    QImage img = Fit(BitmapImageRGB32(bitmap), dest.Width(), dest.Height());
    if (!bitmap.GetTransparent()) {
        BlitImage(d, target, img, d.CopyMode);
        return;
    }
    // Pixels of the transparent color are left out.
    QRgb key = ColorToQt(bitmap.GetTransparentColor()).rgb() & 0xFFFFFFu;
    QImage masked = img.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < masked.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(masked.scanLine(y));
        for (int x = 0; x < masked.width(); ++x)
            row[x] = (row[x] & 0xFFFFFFu) == key ? 0u : (row[x] | 0xFF000000u);
    }
    TCanvasPainter p(d);
    if (!p.Active()) return;
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    p->drawImage(target.topLeft(), masked);
}

} // namespace

void TCanvas::Draw(int x, int y, const TBitmap& bitmap) {
    DrawBitmapScaled(*FImpl, {x, y, x + bitmap.GetWidth(), y + bitmap.GetHeight()}, bitmap);
}
void TCanvas::Draw(int x, int y, const TBitmap* bitmap) {
    if (bitmap) Draw(x, y, *bitmap);
}
void TCanvas::StretchDraw(const TRect& dest, const TBitmap& bitmap) {
    DrawBitmapScaled(*FImpl, dest, bitmap);
}
void TCanvas::StretchDraw(const TRect& dest, const TBitmap* bitmap) {
    if (bitmap) StretchDraw(dest, *bitmap);
}

// ---- Device state ---------------------------------------------------------------------------

TColor TCanvas::SetBkColor(TColor color) {
    return std::exchange(FImpl->State.BkColor, color);
}
TColor TCanvas::GetBkColor() const {
    return FImpl->State.BkColor;
}
TColor TCanvas::SetTextColor(TColor color) {
    return std::exchange(FImpl->State.TextColor, color);
}
TColor TCanvas::GetTextColor() const {
    return FImpl->State.TextColor;
}
int TCanvas::SetBkMode(int mode) {
    return std::exchange(FImpl->State.BkMode, mode == TRANSPARENT ? TRANSPARENT : OPAQUE);
}
int TCanvas::GetBkMode() const {
    return FImpl->State.BkMode;
}
int TCanvas::SetPolyFillMode(int mode) {
    return std::exchange(FImpl->State.PolyFillMode, mode == WINDING ? WINDING : ALTERNATE);
}
int TCanvas::GetPolyFillMode() const {
    return FImpl->State.PolyFillMode;
}
TPoint TCanvas::SetWindowOrg(int x, int y) {
    return std::exchange(FImpl->State.WindowOrg, TPoint{x, y});
}
TPoint TCanvas::GetWindowOrg() const {
    return FImpl->State.WindowOrg;
}
TPoint TCanvas::SetBrushOrg(int x, int y) {
    return std::exchange(FImpl->State.BrushOrg, TPoint{x, y});
}

void TCanvas::Refresh() {
    FImpl->BrushChanged();
    FImpl->FontChanged();
}

namespace {

int KindOf(const QRegion& r) {
    if (r.isEmpty()) return NULLREGION;
    return r.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

QRect LogicalToDevice(const TCanvas::Impl& d, const TRect& r) {
    return QRect(r.Left - d.State.WindowOrg.X, r.Top - d.State.WindowOrg.Y, r.Width(), r.Height());
}

} // namespace

int TCanvas::SelectClipRgn(const TRegion* region) {
    Impl& d = *FImpl;
    if (region)
        d.State.Clip = RegionToQt(*region);
    else
        d.State.Clip.reset();
    return KindOf(d.EffectiveClip());
}

bool TCanvas::GetClipRgn(TRegion& region) const {
    if (!FImpl->State.Clip) return false;
    region = RegionFromQt(*FImpl->State.Clip);
    return true;
}

int TCanvas::IntersectClipRect(const TRect& r) {
    Impl& d = *FImpl;
    QRegion rect = r.IsEmpty() ? QRegion() : QRegion(LogicalToDevice(d, r));
    d.State.Clip = d.State.Clip ? d.State.Clip->intersected(rect) : rect;
    return KindOf(d.EffectiveClip());
}

int TCanvas::ExcludeClipRect(const TRect& r) {
    Impl& d = *FImpl;
    if (!d.State.Clip) {
        QRect all = d.SurfaceRect();
        if (all.isEmpty()) all = QRect(-0x3FFFFFF, -0x3FFFFFF, 0x7FFFFFE, 0x7FFFFFE);
        d.State.Clip = QRegion(all);
    }
    if (!r.IsEmpty()) d.State.Clip = d.State.Clip->subtracted(QRegion(LogicalToDevice(d, r)));
    return KindOf(d.EffectiveClip());
}

TRect TCanvas::GetClipRect() const {
    const Impl& d = *FImpl;
    if (!d.Attached()) return {};
    TRect box = RectFromQt(d.EffectiveClip().boundingRect());
    if (!box.IsEmpty()) OffsetRect(box, d.State.WindowOrg.X, d.State.WindowOrg.Y);
    return box;
}

bool TCanvas::RectVisible(const TRect& r) const {
    const Impl& d = *FImpl;
    return d.Attached() && !r.IsEmpty() && d.EffectiveClip().intersects(LogicalToDevice(d, r));
}

int TCanvas::SaveDC() {
    FImpl->Saved.push_back(FImpl->State);
    return static_cast<int>(FImpl->Saved.size());
}

bool TCanvas::RestoreDC(int level) {
    Impl& d = *FImpl;
    int n = static_cast<int>(d.Saved.size());
    int target = level < 0 ? n + level + 1 : level;
    if (target < 1 || target > n) return false;
    d.State = d.Saved[static_cast<size_t>(target - 1)];
    d.Saved.resize(static_cast<size_t>(target - 1));
    return true;
}
