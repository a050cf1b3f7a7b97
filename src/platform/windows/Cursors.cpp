// The program's cursor resources, drawn here: 32 by 32, black shapes with a one-pixel white
// outline, and the stock cursors of the screen's cursor table.
#include <QBitmap>
#include <QCursor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/windows/Forms.h"
#include "platform/windows/WinControlQt.h"

struct TCursorData {
    QCursor Cursor;
    TSize Size;
    TPoint HotSpot;
};

namespace {
std::map<std::string, std::unique_ptr<TCursorData>>* gResourceCursors = nullptr;
std::map<int, std::unique_ptr<TCursorData>>* gStockCursors = nullptr;

constexpr QRgb kBlack = 0xFF000000u;
constexpr QRgb kWhite = 0xFFFFFFFFu;

QImage NewImage() {
    QImage img(32, 32, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    return img;
}

// Every transparent pixel next to a black one becomes white: the outline.
void Outline(QImage& img) {
    QImage src = img.copy();
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            if (qAlpha(src.pixel(x, y)) != 0) continue;
            bool near = false;
            for (int dy = -1; dy <= 1 && !near; ++dy)
                for (int dx = -1; dx <= 1 && !near; ++dx) {
                    int nx = x + dx, ny = y + dy;
                    if (nx >= 0 && ny >= 0 && nx < 32 && ny < 32 && src.pixel(nx, ny) == kBlack) near = true;
                }
            if (near) img.setPixel(x, y, kWhite);
        }
}

void FillPolygon(QImage& img, std::initializer_list<QPoint> pts) {
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(kBlack));
    p.drawPolygon(QPolygon(QList<QPoint>(pts)), Qt::WindingFill);
}

void FillRect(QImage& img, int x, int y, int w, int h) {
    for (int yy = y; yy < y + h; ++yy)
        for (int xx = x; xx < x + w; ++xx)
            if (xx >= 0 && yy >= 0 && xx < 32 && yy < 32) img.setPixel(xx, yy, kBlack);
}

QImage DrawReversedArrow() {
    // The ordinary arrow mirrored left to right; its tip at (11, 0).
    QImage img = NewImage();
    // The ordinary arrow row by row (runs of x from..to), then mirrored: x becomes 11 - x.
    struct Run {
        int y, from, to;
    };
    std::vector<Run> runs;
    for (int y = 0; y <= 10; ++y)
        runs.push_back({y, 0, y});
    runs.insert(runs.end(), {{11, 0, 6},
                             {12, 0, 1},
                             {12, 4, 7},
                             {13, 0, 0},
                             {13, 4, 7},
                             {14, 5, 8},
                             {15, 5, 8},
                             {16, 6, 9},
                             {17, 6, 9},
                             {18, 7, 8}});
    for (const Run& r : runs)
        for (int x = r.from; x <= r.to; ++x)
            img.setPixel(11 - x, r.y, kBlack);
    Outline(img);
    return img;
}

QImage DrawHorzSplit() {
    // A vertical bar 2 wide and 16 high, crossed by a left-right double arrow; centre (8, 8).
    QImage img = NewImage();
    FillRect(img, 7, 0, 2, 16);
    FillRect(img, 2, 7, 12, 2);
    FillPolygon(img, {{0, 8}, {4, 4}, {4, 12}});
    FillPolygon(img, {{16, 8}, {12, 4}, {12, 12}});
    Outline(img);
    return img;
}

QImage DrawVertSplit() {
    // A horizontal bar 16 wide and 2 high, crossed by an up-down double arrow; centre (8, 8).
    QImage img = NewImage();
    FillRect(img, 0, 7, 16, 2);
    FillRect(img, 7, 2, 2, 12);
    FillPolygon(img, {{8, 0}, {4, 4}, {12, 4}});
    FillPolygon(img, {{8, 16}, {4, 12}, {12, 12}});
    Outline(img);
    return img;
}

QImage DrawColumnNoDrag() {
    // A diagonal cross about 30 by 30 with strokes 5 pixels wide; centre (14, 14).
    QImage img = NewImage();
    FillPolygon(img, {{1, 4}, {4, 1}, {28, 25}, {25, 28}});
    FillPolygon(img, {{25, 1}, {28, 4}, {4, 28}, {1, 25}});
    Outline(img);
    return img;
}

QImage DrawIndicatorSelect() {
    // An arrow pointing right, 12 by 9, tip at (11, 4).
    QImage img = NewImage();
    FillRect(img, 0, 3, 7, 3);
    FillPolygon(img, {{6, 0}, {11, 4}, {6, 8}});
    img.setPixel(11, 4, kBlack);
    Outline(img);
    return img;
}

QImage DrawRoll(bool up, bool down) {
    // The roll marker: a dot with arrows to the directions that scroll; centre (15, 15).
    QImage img = NewImage();
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(kBlack));
        p.drawEllipse(QRect(13, 13, 5, 5));
    }
    if (up || !down) FillPolygon(img, {{15, 3}, {10, 9}, {21, 9}});
    if (down || !up) FillPolygon(img, {{15, 28}, {10, 22}, {21, 22}});
    Outline(img);
    return img;
}

std::unique_ptr<TCursorData> MakeCursor(const QImage& img, int hx, int hy) {
    auto d = std::make_unique<TCursorData>();
    d->Cursor = QCursor(QPixmap::fromImage(img), hx, hy);
    d->Size = {img.width(), img.height()};
    d->HotSpot = {hx, hy};
    return d;
}

std::string Upper(const char* s) {
    std::string r(s ? s : "");
    for (char& c : r)
        c = char(std::toupper(uint8_t(c)));
    return r;
}
} // namespace

void ReleaseCursorCache() {
    delete gResourceCursors;
    gResourceCursors = nullptr;
    delete gStockCursors;
    gStockCursors = nullptr;
}

HCURSOR LoadCursor(HINSTANCE, const char* Name) {
    std::string name = Upper(Name);
    if (!gResourceCursors) gResourceCursors = new std::map<std::string, std::unique_ptr<TCursorData>>();
    auto it = gResourceCursors->find(name);
    if (it != gResourceCursors->end()) return it->second.get();
    std::unique_ptr<TCursorData> d;
    if (name == "REVERSEDARROW")
        d = MakeCursor(DrawReversedArrow(), 11, 0);
    else if (name == "HORZSPLIT")
        d = MakeCursor(DrawHorzSplit(), 8, 8);
    else if (name == "VERTSPLIT")
        d = MakeCursor(DrawVertSplit(), 8, 8);
    else if (name == "COLUMNNODRAG")
        d = MakeCursor(DrawColumnNoDrag(), 14, 14);
    else if (name == "INDICATORSELECT")
        d = MakeCursor(DrawIndicatorSelect(), 11, 4);
    else if (name == "ROLL")
        d = MakeCursor(DrawRoll(false, false), 15, 15);
    else if (name == "ROLLUP")
        d = MakeCursor(DrawRoll(true, false), 15, 15);
    else if (name == "ROLLDOWN")
        d = MakeCursor(DrawRoll(false, true), 15, 15);
    else
        return nullptr;
    HCURSOR h = d.get();
    (*gResourceCursors)[name] = std::move(d);
    return h;
}

TSize GetCursorSize(HCURSOR Cursor) {
    return Cursor ? Cursor->Size : TSize{};
}
TPoint GetCursorHotSpot(HCURSOR Cursor) {
    return Cursor ? Cursor->HotSpot : TPoint{};
}

// The image of a cursor, for checks: black, white and transparent pixels.
QImage CursorImage(HCURSOR Cursor) {
    return Cursor ? Cursor->Cursor.pixmap().toImage() : QImage();
}

namespace {
Qt::CursorShape StockShape(int index) {
    switch (index) {
    case crNone:
        return Qt::BlankCursor;
    case crCross:
        return Qt::CrossCursor;
    case crIBeam:
        return Qt::IBeamCursor;
    case crSizeNESW:
        return Qt::SizeBDiagCursor;
    case crSizeNS:
        return Qt::SizeVerCursor;
    case crSizeNWSE:
        return Qt::SizeFDiagCursor;
    case crSizeWE:
        return Qt::SizeHorCursor;
    case crUpArrow:
        return Qt::UpArrowCursor;
    case crHourGlass:
    case crSQLWait:
        return Qt::WaitCursor;
    case crDrag:
        return Qt::DragMoveCursor;
    case crNoDrop:
    case crNo:
        return Qt::ForbiddenCursor;
    case crHSplit:
        return Qt::SplitHCursor;
    case crVSplit:
        return Qt::SplitVCursor;
    case crMultiDrag:
        return Qt::DragCopyCursor;
    case crAppStart:
        return Qt::BusyCursor;
    case crHelp:
        return Qt::WhatsThisCursor;
    case crHandPoint:
        return Qt::PointingHandCursor;
    case crSizeAll:
        return Qt::SizeAllCursor;
    default:
        return Qt::ArrowCursor;
    }
}
} // namespace

HCURSOR StockCursor(int Index) {
    if (Index > 0) return nullptr;
    if (!gStockCursors) gStockCursors = new std::map<int, std::unique_ptr<TCursorData>>();
    auto& slot = (*gStockCursors)[Index];
    if (!slot) {
        slot = std::make_unique<TCursorData>();
        slot->Cursor = QCursor(StockShape(Index));
        slot->Size = {32, 32};
    }
    return slot.get();
}

QCursor CursorToQt(TCursor cursor) {
    if (HCURSOR h = Screen->GetCursors(cursor)) return h->Cursor;
    return QCursor(Qt::ArrowCursor);
}
