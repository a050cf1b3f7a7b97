#include "platform/graphics/Bitmap.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QString>
#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <map>
#include <vector>

#include "platform/graphics/BitmapQt.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/CanvasQt.h"

namespace {

// The 16 colors of 4-bit bitmaps, in the classic order.
constexpr std::array<TColor, 16> Palette16 = {
    RGB(0, 0, 0),       RGB(128, 0, 0),   RGB(0, 128, 0),   RGB(128, 128, 0),
    RGB(0, 0, 128),     RGB(128, 0, 128), RGB(0, 128, 128), RGB(192, 192, 192),
    RGB(128, 128, 128), RGB(255, 0, 0),   RGB(0, 255, 0),   RGB(255, 255, 0),
    RGB(0, 0, 255),     RGB(255, 0, 255), RGB(0, 255, 255), RGB(255, 255, 255),
};

int NearestPaletteIndex(QRgb c) {
    int best = 0;
    long bestDist = -1;
    for (int i = 0; i < 16; ++i) {
        TColor p = Palette16[static_cast<size_t>(i)];
        long dr = qRed(c) - GetRValue(p), dg = qGreen(c) - GetGValue(p), db = qBlue(c) - GetBValue(p);
        long dist = dr * dr + dg * dg + db * db;
        if (bestDist < 0 || dist < bestDist) {
            best = i;
            bestDist = dist;
        }
    }
    return best;
}

QRgb PaletteRgb(int index) {
    TColor p = Palette16[static_cast<size_t>(index & 15)];
    return qRgb(GetRValue(p), GetGValue(p), GetBValue(p));
}

QImage::Format StorageFormat(TPixelFormat f) {
    return f == pf24bit ? QImage::Format_BGR888 : QImage::Format_RGB32;
}

bool Supported(TPixelFormat f) {
    return f == pfDevice || f == pf4bit || f == pf24bit || f == pf32bit;
}

std::map<std::string, QByteArray>& Resources() {
    static std::map<std::string, QByteArray> resources;
    return resources;
}

std::string Upper(const std::string& s) {
    std::string r = s;
    std::transform(r.begin(), r.end(), r.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    return r;
}

} // namespace

TColor Palette16Color(int index) {
    return Palette16[static_cast<size_t>(index & 15)];
}

// Pixels live in Image, whose memory has the layout ScanLine promises for pf24bit (BGR888) and
// pf32bit (RGB32: blue, green, red, alpha). pf4bit draws on a 32-bit image limited to the palette
// and hands out packed rows on request; after that the packed rows hold the truth until the next
// drawing.
struct TBitmap::Impl {
    TBitmap* Owner = nullptr;
    TPixelFormat Format = pfDevice;
    QImage Image;
    std::vector<uint8_t> Packed;
    bool PackedActive = false;
    bool Transparent = false;
    TColor TransparentColor = clDefault;
    TTransparentMode Mode = tmAuto;
    std::unique_ptr<TCanvas> Canvas;
    std::shared_ptr<const TBitmap> Detail;

    int PackedRowBytes() const { return ((Image.width() * 4 + 31) / 32) * 4; }

    // Brings Image up to date from packed pf4bit rows.
    void Sync() {
        if (!PackedActive) return;
        PackedActive = false;
        int rb = PackedRowBytes();
        for (int y = 0; y < Image.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(Image.scanLine(y));
            const uint8_t* src = Packed.data() + static_cast<size_t>(y) * static_cast<size_t>(rb);
            for (int x = 0; x < Image.width(); ++x) {
                uint8_t b = src[x / 2];
                row[x] = PaletteRgb((x % 2 == 0) ? (b >> 4) : (b & 15));
            }
        }
    }

    void Pack() {
        int rb = PackedRowBytes();
        Packed.assign(static_cast<size_t>(rb) * static_cast<size_t>(Image.height()), 0);
        for (int y = 0; y < Image.height(); ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(Image.constScanLine(y));
            uint8_t* dst = Packed.data() + static_cast<size_t>(y) * static_cast<size_t>(rb);
            for (int x = 0; x < Image.width(); ++x) {
                int i = NearestPaletteIndex(row[x]);
                dst[x / 2] |= static_cast<uint8_t>((x % 2 == 0) ? (i << 4) : i);
            }
        }
        PackedActive = true;
    }

    void Quantize() {
        if (Format != pf4bit) return;
        for (int y = 0; y < Image.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(Image.scanLine(y));
            for (int x = 0; x < Image.width(); ++x)
                row[x] = PaletteRgb(NearestPaletteIndex(row[x]));
        }
    }

    void Changed() {
        if (Owner->OnChange) Owner->OnChange();
    }

    void Attach() {
        if (!Canvas) return;
        AttachCanvas(*Canvas, &Image, nullptr,
                     TCanvasSurfaceHooks{[this] { Sync(); },
                                         [this] {
                                             Quantize();
                                             Changed();
                                         }});
    }
};

TBitmap::TBitmap() : FImpl(std::make_unique<Impl>()) {
    FImpl->Owner = this;
}

TBitmap::TBitmap(int width, int height, TPixelFormat format) : TBitmap() {
    SetPixelFormat(format);
    SetSize(width, height);
}

TBitmap::~TBitmap() {
    if (FImpl->Canvas) DetachCanvas(*FImpl->Canvas);
}

int TBitmap::GetWidth() const {
    return FImpl->Image.width();
}
int TBitmap::GetHeight() const {
    return FImpl->Image.height();
}
void TBitmap::SetWidth(int v) {
    SetSize(v, GetHeight());
}
void TBitmap::SetHeight(int v) {
    SetSize(GetWidth(), v);
}
bool TBitmap::GetEmpty() const {
    return FImpl->Image.isNull();
}
TPixelFormat TBitmap::GetPixelFormat() const {
    return FImpl->Format;
}

void TBitmap::SetSize(int width, int height) {
    Impl& d = *FImpl;
    width = std::max(0, width);
    height = std::max(0, height);
    if (width == GetWidth() && height == GetHeight()) return;
    d.Sync();
    QImage next;
    if (width > 0 && height > 0) {
        next = QImage(width, height, StorageFormat(d.Format));
        next.fill(0);
        // Keep the old pixels at the top-left, byte for byte (alpha bytes included).
        int rows = std::min(height, d.Image.height());
        int bytes = std::min(width, d.Image.width()) * (d.Format == pf24bit ? 3 : 4);
        for (int y = 0; y < rows; ++y)
            std::memcpy(next.scanLine(y), d.Image.constScanLine(y), static_cast<size_t>(bytes));
    }
    d.Image = next;
    d.Detail.reset();
    d.Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat v) {
    Impl& d = *FImpl;
    if (!Supported(v)) throw EInvalidGraphic("Unsupported pixel format");
    if (v == d.Format) return;
    d.Sync();
    if (!d.Image.isNull() && d.Image.format() != StorageFormat(v)) {
        d.Image = d.Image.convertToFormat(StorageFormat(v));
        if (v != pf24bit) {
            // Pixels come over opaque.
            for (int y = 0; y < d.Image.height(); ++y) {
                auto* row = reinterpret_cast<QRgb*>(d.Image.scanLine(y));
                for (int x = 0; x < d.Image.width(); ++x)
                    row[x] |= 0xFF000000u;
            }
        }
    }
    d.Format = v;
    d.Quantize();
    d.Changed();
}

uint8_t* TBitmap::ScanLine(int row) {
    Impl& d = *FImpl;
    if (row < 0 || row >= GetHeight()) throw EInvalidGraphic("Scan line index out of range");
    if (d.Format == pf4bit) {
        if (!d.PackedActive) d.Pack();
        return d.Packed.data() + static_cast<size_t>(row) * static_cast<size_t>(d.PackedRowBytes());
    }
    return d.Image.scanLine(row);
}

const uint8_t* TBitmap::ScanLine(int row) const {
    return const_cast<TBitmap*>(this)->ScanLine(row);
}

int TBitmap::GetRowBytes() const {
    if (FImpl->Format == pf4bit) return FImpl->PackedRowBytes();
    return FImpl->Image.isNull() ? 0 : static_cast<int>(FImpl->Image.bytesPerLine());
}

TCanvas* TBitmap::GetCanvas() const {
    Impl& d = *FImpl;
    if (!d.Canvas) {
        d.Canvas = std::make_unique<TCanvas>();
        d.Attach();
    }
    return d.Canvas.get();
}

bool TBitmap::GetTransparent() const {
    return FImpl->Transparent;
}
void TBitmap::SetTransparent(bool v) {
    if (FImpl->Transparent == v) return;
    FImpl->Transparent = v;
    FImpl->Changed();
}

TColor TBitmap::GetTransparentColor() const {
    Impl& d = *FImpl;
    if (d.Mode == tmFixed) return d.TransparentColor;
    if (d.Image.isNull()) return clNone;
    d.Sync();
    return ColorFromQt(d.Image.pixel(0, d.Image.height() - 1));
}

void TBitmap::SetTransparentColor(TColor v) {
    if (FImpl->Mode == tmFixed && FImpl->TransparentColor == v) return;
    FImpl->TransparentColor = v;
    FImpl->Mode = tmFixed;
    FImpl->Changed();
}

TTransparentMode TBitmap::GetTransparentMode() const {
    return FImpl->Mode;
}
void TBitmap::SetTransparentMode(TTransparentMode v) {
    if (FImpl->Mode == v) return;
    FImpl->Mode = v;
    if (v == tmAuto) FImpl->TransparentColor = clDefault;
    FImpl->Changed();
}

void TBitmap::Assign(const TBitmap& source) {
    if (&source == this) return;
    Impl& d = *FImpl;
    const Impl& s = *source.FImpl;
    d.Format = s.Format;
    d.Image = s.Image;
    d.Packed = s.Packed;
    d.PackedActive = s.PackedActive;
    d.Transparent = s.Transparent;
    d.TransparentColor = s.TransparentColor;
    d.Mode = s.Mode;
    d.Detail = s.Detail;
    d.Changed();
}

void TBitmap::SetDetail(const TBitmap* twice) {
    if (!twice) {
        FImpl->Detail.reset();
        return;
    }
    auto copy = std::make_shared<TBitmap>();
    copy->Assign(*twice);
    copy->FImpl->Detail.reset();
    FImpl->Detail = std::move(copy);
}

const TBitmap* TBitmap::GetDetail() const {
    return FImpl->Detail.get();
}

void TBitmap::Assign(const TBitmap* source) {
    if (source) {
        Assign(*source);
        return;
    }
    FImpl->Image = QImage();
    FImpl->Packed.clear();
    FImpl->PackedActive = false;
    FImpl->Changed();
}

void TBitmap::Assign(const TPersistent* source) {
    if (!source) {
        Assign(static_cast<const TBitmap*>(nullptr));
        return;
    }
    if (auto* bitmap = dynamic_cast<const TBitmap*>(source)) {
        Assign(*bitmap);
        return;
    }
    TPersistent::Assign(source);
}

void BitmapAssignImage(TBitmap& bitmap, const QImage& image) {
    TBitmap::Impl& d = bitmap.GetImpl();
    d.PackedActive = false;
    d.Packed.clear();
    d.Detail.reset();
    if (image.isNull()) {
        d.Image = QImage();
    } else if (image.hasAlphaChannel()) {
        QImage a = image.convertToFormat(QImage::Format_ARGB32);
        QImage out(a.width(), a.height(), QImage::Format_RGB32);
        for (int y = 0; y < a.height(); ++y)
            std::memcpy(out.scanLine(y), a.constScanLine(y), static_cast<size_t>(a.width()) * 4);
        d.Format = pf32bit;
        d.Image = out;
    } else if (image.depth() <= 4 && image.colorCount() > 0 && image.colorCount() <= 16) {
        d.Format = pf4bit;
        d.Image = image.convertToFormat(QImage::Format_RGB32);
        d.Quantize();
    } else {
        d.Format = pf24bit;
        d.Image = image.convertToFormat(QImage::Format_BGR888);
    }
    d.Changed();
}

QImage BitmapImageRGB32(const TBitmap& bitmap) {
    TBitmap::Impl& d = bitmap.GetImpl();
    d.Sync();
    if (d.Image.isNull() || d.Image.format() == QImage::Format_RGB32) return d.Image;
    return d.Image.convertToFormat(QImage::Format_RGB32);
}

QImage BitmapImageARGB32(const TBitmap& bitmap) {
    TBitmap::Impl& d = bitmap.GetImpl();
    d.Sync();
    if (d.Image.isNull()) return {};
    if (d.Format != pf32bit) return d.Image.convertToFormat(QImage::Format_ARGB32);
    QImage out(d.Image.width(), d.Image.height(), QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y)
        std::memcpy(out.scanLine(y), d.Image.constScanLine(y), static_cast<size_t>(out.width()) * 4);
    return out;
}

void TBitmap::LoadFromResourceName(const AnsiString& name) {
    QImage img;
    auto it = Resources().find(Upper(name));
    if (it != Resources().end()) {
        img.loadFromData(it->second);
    } else {
        for (const std::string& n : {name, Upper(name)}) {
            for (const char* ext : {".bmp", ".png", ".BMP", ".PNG"}) {
                QString path = QStringLiteral(":/bitmaps/") + QString::fromStdString(n) + QLatin1String(ext);
                if (QFile::exists(path) && img.load(path)) break;
            }
            if (!img.isNull()) break;
        }
        if (img.isNull()) throw EResNotFound("Resource " + name + " not found");
    }
    if (img.isNull()) throw EInvalidGraphic("Bitmap image is not valid");
    BitmapAssignImage(*this, img);
}

void TBitmap::LoadFromFile(const std::string& fileName) {
    QImage img;
    if (!img.load(QString::fromStdString(fileName))) throw EInvalidGraphic("Bitmap image is not valid");
    BitmapAssignImage(*this, img);
}

void TBitmap::SaveToFile(const std::string& fileName) const {
    QString name = QString::fromStdString(fileName);
    const char* fmt = name.endsWith(QLatin1String(".png"), Qt::CaseInsensitive) ? "PNG" : "BMP";
    QImage img = BitmapImageRGB32(*this);
    if (img.isNull() || !img.save(name, fmt)) throw EFCreateError("Cannot create file \"" + fileName + "\"");
}

void RegisterBitmapResource(const AnsiString& name, const uint8_t* data, size_t size) {
    Resources()[Upper(name)] = QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

void UnregisterBitmapResource(const AnsiString& name) {
    Resources().erase(Upper(name));
}

bool BitmapResourceExists(const AnsiString& name) {
    if (Resources().count(Upper(name))) return true;
    for (const std::string& n : {name, Upper(name)})
        for (const char* ext : {".bmp", ".png", ".BMP", ".PNG"})
            if (QFile::exists(QStringLiteral(":/bitmaps/") + QString::fromStdString(n) + QLatin1String(ext)))
                return true;
    return false;
}
