#pragma once
// Private to platform code: attaching a canvas to a Qt surface, and the canvas's inner state.
//
// A window paints through a TCanvas for the span of its paint event:
//
//     QPainter painter(this);
//     TCanvasAttachment attach(*canvas, &painter, &event->region());
//     Paint();  // draws through the canvas
//
// Reading pixels (Pixels, CopyRect from the canvas, transparent blending that reads the
// background) needs an image underneath: a painter on a QImage always has one, a widget painter on
// the raster backing store usually has one. Code that must read back what it painted on a window
// should paint into a QImage (AttachCanvas with the image) and draw that image onto the widget.

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QRegion>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/graphics/Canvas.h"
#include "platform/graphics/FontQt.h"
#include "platform/graphics/RegionQt.h"

inline QColor ColorToQt(TColor c) {
    c = ColorToRGB(c);
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}
inline TColor ColorFromQt(QRgb rgb) {
    return RGB(uint8_t(qRed(rgb)), uint8_t(qGreen(rgb)), uint8_t(qBlue(rgb)));
}

// What the owner of an image surface (a bitmap) must do around the canvas's work.
struct TCanvasSurfaceHooks {
    std::function<void()> BeforeAccess; // bring the image up to date before reading or drawing
    std::function<void()> AfterChange;  // the canvas drew on the image
};

struct TCanvas::Impl {
    // Device-context state: what SaveDC keeps.
    struct DCState {
        TColor BkColor = clWhite;
        TColor TextColor = clBlack;
        int BkMode = OPAQUE;
        int PolyFillMode = ALTERNATE;
        TPoint WindowOrg;
        TPoint BrushOrg;
        std::optional<QRegion> Clip; // device coordinates
    };

    TCanvas* Owner = nullptr;
    std::unique_ptr<TFont> Font;
    std::unique_ptr<TPen> Pen;
    std::unique_ptr<TBrush> Brush;
    TCopyMode CopyMode = cmSrcCopy;
    TPoint PenPos;
    DCState State;
    std::vector<DCState> Saved;

    // Surface: an image the canvas paints on with its own painters, or a painter of someone else.
    QImage* Image = nullptr;
    QPainter* External = nullptr;
    std::optional<QRegion> Limit; // device coordinates
    TCanvasSurfaceHooks Hooks;

    // The Qt font of Font, rebuilt when Font changes; its metrics and key stay while the rebuilt
    // font equals the previous one.
    std::optional<QFont> QtFont;
    bool FontDirty = true;
    std::optional<QFontMetrics> Metrics;

    // The font's identity for the text layout cache, rebuilt with QtFont.
    std::optional<QString> FontKey;

    const QFont& GetQtFont();
    const QFontMetrics& GetMetrics();
    const QString& GetFontKey();
    bool Attached() const { return Image != nullptr || External != nullptr; }
    // The surface's bounds in device coordinates.
    QRect SurfaceRect() const;
    // What can be drawn, in device coordinates.
    QRegion EffectiveClip() const;
    // The image holding the canvas's pixels and the device offset of the canvas in it; nullptr
    // when the pixels cannot be read.
    QImage* ReadableImage(QPoint& offset) const;
    void BrushChanged();
    void FontChanged();
};

// A painter set up for one canvas operation: clipped to the canvas's clip (and the extra region,
// device coordinates), translated to logical coordinates, no antialiasing.
class TCanvasPainter {
public:
    explicit TCanvasPainter(TCanvas::Impl& d, const QRegion* extraClip = nullptr);
    ~TCanvasPainter();
    TCanvasPainter(const TCanvasPainter&) = delete;
    TCanvasPainter& operator=(const TCanvasPainter&) = delete;
    bool Active() const { return FPainter != nullptr; }
    QPainter* operator->() const { return FPainter; }
    QPainter& operator*() const { return *FPainter; }

private:
    TCanvas::Impl& FCanvas;
    std::optional<QPainter> FOwn;
    QPainter* FPainter = nullptr;
};

// Attaches the canvas to an image (not owned) or to an active painter, replacing any earlier
// surface. The limit (device coordinates) bounds all drawing, as the invalid region of a paint
// event does. Attaching resets the device-context state: clip, origins and saved levels.
void AttachCanvas(TCanvas& canvas, QImage* image, const QRegion* limit = nullptr,
                  TCanvasSurfaceHooks hooks = {});
void AttachCanvas(TCanvas& canvas, QPainter* painter, const QRegion* limit = nullptr);
void DetachCanvas(TCanvas& canvas);

// Attaches for the lifetime of the object (a paint event), then detaches.
class TCanvasAttachment {
public:
    TCanvasAttachment(TCanvas& canvas, QPainter* painter, const QRegion* limit = nullptr) : FCanvas(canvas) {
        AttachCanvas(canvas, painter, limit);
    }
    TCanvasAttachment(TCanvas& canvas, QImage* image, const QRegion* limit = nullptr) : FCanvas(canvas) {
        AttachCanvas(canvas, image, limit);
    }
    ~TCanvasAttachment() { DetachCanvas(FCanvas); }
    TCanvasAttachment(const TCanvasAttachment&) = delete;
    TCanvasAttachment& operator=(const TCanvasAttachment&) = delete;

private:
    TCanvas& FCanvas;
};

// The text layout of DrawText (CanvasText.cpp).
int CanvasDrawText(TCanvas::Impl& d, const WideString& text, TRect& r, uint32_t format, WideString* modified);
