// Text output and the DrawText layout of TCanvas.

#include <QGlyphRun>
#include <QTextLayout>
#include <QTextOption>
#include <algorithm>
#include <unordered_map>
#include <vector>

#include "platform/graphics/Canvas.h"
#include "platform/graphics/CanvasQt.h"
#include "platform/graphics/CanvasTextStats.h"
#include "platform/runtime/CodePage.h"

namespace {

QString Q(const WideString& s) {
    return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
}

WideString W(const QString& s) {
    return WideString(reinterpret_cast<const char16_t*>(s.utf16()), static_cast<size_t>(s.size()));
}

const QString Ellipsis = QStringLiteral("...");

uint64_t gCharactersMeasured = 0;

// A piece of a line between tabs and where it starts.
struct Piece {
    int Start; // index in the line
    int Length;
    int X; // offset from the line's start
};

// Splits a line at tabs when tabs are expanded (tabWidth > 0); returns the pieces and the width.
int MeasurePieces(const QFontMetrics& fm, const QString& s, int tabWidth, std::vector<Piece>* pieces) {
    gCharactersMeasured += static_cast<uint64_t>(s.size());
    if (tabWidth <= 0 || !s.contains(QLatin1Char('\t'))) {
        int w = fm.horizontalAdvance(s);
        if (pieces) pieces->push_back({0, static_cast<int>(s.size()), 0});
        return w;
    }
    int x = 0;
    int start = 0;
    for (int i = 0; i <= s.size(); ++i) {
        if (i == s.size() || s[i] == QLatin1Char('\t')) {
            QString part = s.mid(start, i - start);
            if (pieces && !part.isEmpty()) pieces->push_back({start, i - start, x});
            x += fm.horizontalAdvance(part);
            if (i < s.size()) x = (x / tabWidth + 1) * tabWidth;
            start = i + 1;
        }
    }
    return x;
}

// ---- The text layout cache ------------------------------------------------------------------

// A line measured (and, once drawn, shaped) in one font.
struct TTextRun {
    int Width = 0;
    std::vector<Piece> Pieces;
    // One glyph run list per piece, positions relative to the piece's start on a baseline at 0;
    // filled when the text is first drawn.
    std::vector<QList<QGlyphRun>> Glyphs;
};

struct TRunKey {
    QString Font;
    QString Text;
    int TabWidth;
    bool operator==(const TRunKey&) const = default;
};

struct TRunKeyHash {
    size_t operator()(const TRunKey& k) const noexcept {
        return size_t(qHash(k.Text)) * 31u + size_t(qHash(k.Font)) + size_t(k.TabWidth);
    }
};

// Bounded in entries and in characters: past a limit it starts over rather than tracking use. A
// text longer than a screen's worth is measured each time instead of being kept.
constexpr size_t kMaxCachedRuns = 20000;
constexpr size_t kMaxCachedCharacters = size_t(1) << 20;
constexpr qsizetype kMaxCachedTextLength = 4096;
bool gCaching = true;
size_t gCachedCharacters = 0;
std::unordered_map<TRunKey, TTextRun, TRunKeyHash>& Runs() {
    static std::unordered_map<TRunKey, TTextRun, TRunKeyHash> runs;
    return runs;
}

// The cached run of a line, measured now if new; null when caching is off or the line is too long.
TTextRun* CachedRun(TCanvas::Impl& d, const QString& s, int tabWidth) {
    if (!gCaching || s.size() > kMaxCachedTextLength) return nullptr;
    auto& runs = Runs();
    TRunKey key{d.GetFontKey(), s, tabWidth};
    auto it = runs.find(key);
    if (it != runs.end()) return &it->second;
    if (runs.size() >= kMaxCachedRuns || gCachedCharacters >= kMaxCachedCharacters) {
        runs.clear();
        gCachedCharacters = 0;
    }
    gCachedCharacters += static_cast<size_t>(s.size());
    TTextRun run;
    run.Width = MeasurePieces(d.GetMetrics(), s, tabWidth, &run.Pieces);
    return &runs.emplace(std::move(key), std::move(run)).first->second;
}

int LayoutPieces(TCanvas::Impl& d, const QString& s, int tabWidth, std::vector<Piece>* pieces) {
    if (TTextRun* run = CachedRun(d, s, tabWidth)) {
        if (pieces) *pieces = run->Pieces;
        return run->Width;
    }
    return MeasurePieces(d.GetMetrics(), s, tabWidth, pieces);
}

// Shapes a piece as the painter's text drawing does: one line, left to right, natural widths.
QList<QGlyphRun> ShapePiece(const QFont& font, const QString& s) {
    QTextLayout layout(s, font);
    QTextOption opt;
    opt.setWrapMode(QTextOption::NoWrap);
    opt.setTextDirection(Qt::LeftToRight);
    layout.setTextOption(opt);
    layout.setCacheEnabled(true);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (!line.isValid()) {
        layout.endLayout();
        return {};
    }
    line.setPosition(QPointF(0, 0));
    layout.endLayout();
    QList<QGlyphRun> runs = line.glyphRuns();
    const qreal baseline = line.ascent();
    for (QGlyphRun& r : runs) {
        QList<QPointF> pos = r.positions();
        for (QPointF& p : pos)
            p.ry() -= baseline;
        r.setPositions(pos);
    }
    return runs;
}

// Draws the pieces of a cached run with their glyphs, shaping them on first use.
void DrawCachedPieces(QPainter& p, TCanvas::Impl& d, TTextRun& run, const QString& s, int baselineY) {
    if (run.Glyphs.size() != run.Pieces.size()) {
        run.Glyphs.clear();
        for (const Piece& pc : run.Pieces)
            run.Glyphs.push_back(ShapePiece(d.GetQtFont(), s.mid(pc.Start, pc.Length)));
    }
    for (size_t i = 0; i < run.Pieces.size(); ++i)
        for (const QGlyphRun& g : run.Glyphs[i])
            p.drawGlyphRun(QPointF(run.Pieces[i].X, baselineY), g);
}

} // namespace

void SetTextLayoutCaching(bool Enabled) {
    gCaching = Enabled;
}
bool GetTextLayoutCaching() {
    return gCaching;
}
void ClearTextLayoutCache() {
    Runs().clear();
    gCachedCharacters = 0;
}
uint64_t TextCharactersMeasured() {
    return gCharactersMeasured;
}

namespace {

// Draws one line of text with its cell's top-left at (x, y), rotated about that point by the
// font's orientation. Underlined indexes get the prefix underline.
void DrawRun(QPainter& p, TCanvas::Impl& d, int x, int y, const QString& s, const std::vector<int>& underline,
             bool rtl, bool opaque, int tabWidth, bool prefixOnly = false) {
    const QFontMetrics& fm = d.GetMetrics();
    // Plain text (no rotation, underline or strike-out lines) draws from the cache; the rest the long way.
    const QFont& qf = d.GetQtFont();
    TTextRun* run =
        (!rtl && !prefixOnly && !qf.underline() && !qf.strikeOut() && d.Font->GetOrientation() % 3600 == 0)
            ? CachedRun(d, s, tabWidth)
            : nullptr;
    std::vector<Piece> pieces;
    int w = run ? run->Width : LayoutPieces(d, s, rtl ? 0 : tabWidth, &pieces);
    if (run && !underline.empty()) pieces = run->Pieces;
    p.save();
    p.translate(x, y);
    if (int o = d.Font->GetOrientation(); o % 3600 != 0) p.rotate(-o / 10.0);
    if (opaque && w > 0) {
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.fillRect(QRect(0, 0, w, fm.height()), ColorToQt(d.State.BkColor));
    }
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    QColor color = ColorToQt(d.State.TextColor);
    p.setFont(d.GetQtFont());
    p.setPen(color);
    if (!prefixOnly) {
        if (rtl) {
            QTextLayout layout(s, d.GetQtFont());
            QTextOption opt(Qt::AlignRight | Qt::AlignAbsolute);
            opt.setTextDirection(Qt::RightToLeft);
            layout.setTextOption(opt);
            layout.beginLayout();
            QTextLine line = layout.createLine();
            if (line.isValid()) {
                line.setLineWidth(w);
                line.setPosition(QPointF(0, fm.ascent() - line.ascent()));
            }
            layout.endLayout();
            layout.draw(&p, QPointF(0, 0));
        } else if (run) {
            DrawCachedPieces(p, d, *run, s, fm.ascent());
        } else {
            for (const Piece& pc : pieces)
                p.drawText(QPoint(pc.X, fm.ascent()), s.mid(pc.Start, pc.Length));
        }
    }
    if (!rtl) {
        int uy = fm.ascent() + std::max(1, fm.underlinePos());
        int th = std::max(1, fm.lineWidth());
        for (int i : underline) {
            if (i < 0 || i >= s.size()) continue;
            int ux = 0;
            for (const Piece& pc : pieces)
                if (i >= pc.Start && i < pc.Start + pc.Length)
                    ux = pc.X + fm.horizontalAdvance(s.mid(pc.Start, i - pc.Start));
            int uw = fm.horizontalAdvance(s.mid(i, 1));
            p.fillRect(QRect(ux, uy, uw, th), color);
        }
    }
    p.restore();
}

// A line of laid-out text.
struct Line {
    QString Text;
    std::vector<int> Underline;
    int Width = 0;
};

bool IsSpace(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

} // namespace

// ---- TextOut and measuring --------------------------------------------------------------------

void TCanvas::ExtTextOut(int x, int y, uint32_t options, const TRect* r, const WideString& text) {
    Impl& d = *FImpl;
    std::optional<QRegion> clip;
    if (r && (options & ETO_CLIPPED))
        clip = QRegion(QRect(r->Left - d.State.WindowOrg.X, r->Top - d.State.WindowOrg.Y,
                             std::max(0, r->Width()), std::max(0, r->Height())));
    TCanvasPainter p(d, clip ? &*clip : nullptr);
    if (!p.Active()) return;
    if (r && (options & ETO_OPAQUE) && !r->IsEmpty()) {
        p->setCompositionMode(QPainter::CompositionMode_Source);
        p->fillRect(RectToQt(*r), ColorToQt(d.State.BkColor));
    }
    bool rtl = (options & ETO_RTLREADING) != 0;
    DrawRun(*p, d, x, y, Q(text), {}, rtl, d.State.BkMode == OPAQUE, 0);
}

void TCanvas::TextOut(int x, int y, const WideString& text) {
    ExtTextOut(x, y, 0, nullptr, text);
    FImpl->PenPos = {x + TextWidth(text), y};
}

void TCanvas::TextOut(int x, int y, const AnsiString& text) {
    TextOut(x, y, AnsiToWide(text));
}

void TCanvas::TextRect(const TRect& r, int x, int y, const WideString& text) {
    uint32_t options = ETO_CLIPPED;
    if (FImpl->Brush->GetStyle() != bsClear) options |= ETO_OPAQUE;
    ExtTextOut(x, y, options, &r, text);
}

void TCanvas::TextRect(const TRect& r, int x, int y, const AnsiString& text) {
    TextRect(r, x, y, AnsiToWide(text));
}

TSize TCanvas::TextExtent(const WideString& text) const {
    const QFontMetrics& fm = FImpl->GetMetrics();
    return {LayoutPieces(*FImpl, Q(text), 0, nullptr), fm.height()};
}
TSize TCanvas::TextExtent(const AnsiString& text) const {
    return TextExtent(AnsiToWide(text));
}
int TCanvas::TextWidth(const WideString& text) const {
    return TextExtent(text).cx;
}
int TCanvas::TextWidth(const AnsiString& text) const {
    return TextExtent(text).cx;
}
int TCanvas::TextHeight(const WideString& text) const {
    return TextExtent(text).cy;
}
int TCanvas::TextHeight(const AnsiString& text) const {
    return TextExtent(text).cy;
}

TTextMetric TCanvas::GetTextMetrics() const {
    const QFontMetrics& fm = FImpl->GetMetrics();
    TTextMetric m;
    m.tmHeight = fm.height();
    m.tmAscent = fm.ascent();
    m.tmDescent = fm.descent();
    m.tmInternalLeading = std::max(0, fm.height() - FImpl->GetQtFont().pixelSize());
    m.tmExternalLeading = std::max(0, fm.leading());
    m.tmAveCharWidth = fm.averageCharWidth();
    m.tmMaxCharWidth = fm.maxWidth();
    return m;
}

// ---- DrawText ---------------------------------------------------------------------------------

int CanvasDrawText(TCanvas::Impl& d, const WideString& wtext, TRect& r, uint32_t format,
                   WideString* modified) {
    const QFontMetrics& fm = d.GetMetrics();
    int tabWidth = 0;
    if (format & DT_TABSTOP) {
        // The tab length in characters travels in bits 8..15, in place of those flags.
        int chars = static_cast<int>((format >> 8) & 0xFF);
        format &= ~uint32_t(0xFF00);
        format |= DT_TABSTOP;
        if (format & DT_EXPANDTABS) tabWidth = (chars > 0 ? chars : 8) * fm.averageCharWidth();
    } else if (format & DT_EXPANDTABS) {
        tabWidth = 8 * fm.averageCharWidth();
    }
    const bool single = format & DT_SINGLELINE;
    const bool calc = format & DT_CALCRECT;
    const int lineHeight = fm.height() + ((format & DT_EXTERNALLEADING) ? std::max(0, fm.leading()) : 0);
    const int maxWidth = r.Width();
    auto width = [&](const QString& s) { return LayoutPieces(d, s, tabWidth, nullptr); };

    // Prefix characters: "&x" underlines x, "&&" is one "&".
    QString text;
    std::vector<bool> marked;
    bool anyMarked = false;
    {
        QString src = Q(wtext);
        bool prefix = !(format & DT_NOPREFIX);
        if (!prefix && !(single && (src.contains(QLatin1Char('\r')) || src.contains(QLatin1Char('\n'))))) {
            // Nothing to take out: the text as it is.
            text = src;
            src.clear();
            marked.assign(static_cast<size_t>(text.size()), false);
        } else {
            text.reserve(src.size());
            marked.reserve(static_cast<size_t>(src.size()));
        }
        for (int i = 0; i < src.size(); ++i) {
            QChar c = src[i];
            if (prefix && c == QLatin1Char('&')) {
                if (i + 1 >= src.size()) break;
                ++i;
                text += src[i];
                marked.push_back(src[i] != QLatin1Char('&') && !(format & DT_HIDEPREFIX));
                anyMarked = anyMarked || marked.back();
                continue;
            }
            if (single && (c == QLatin1Char('\r') || c == QLatin1Char('\n'))) continue;
            text += c;
            marked.push_back(false);
        }
    }
    auto makeLine = [&](int start, int end) {
        Line l;
        l.Text = text.mid(start, end - start);
        if (anyMarked)
            for (int i = start; i < end; ++i)
                if (marked[static_cast<size_t>(i)]) l.Underline.push_back(i - start);
        return l;
    };
    // The width of s when it is at most limit, otherwise some width above limit: found on prefixes
    // that double in length (widths grow with the prefix), so that a long text is measured only
    // about as far as it can show.
    auto widthUpTo = [&](const QString& s, int limit) {
        for (qsizetype k = 256; k < s.size(); k *= 2) {
            qsizetype cut = s[k - 1].isHighSurrogate() ? k - 1 : k;
            if (int w = width(s.left(cut)); w > limit) return w;
        }
        return width(s);
    };

    // Lines: paragraphs at line breaks, wrapped at word boundaries with DT_WORDBREAK. A word wider
    // than the rectangle stays whole on its own line.
    std::vector<Line> lines;
    if (single) {
        lines.push_back(makeLine(0, static_cast<int>(text.size())));
    } else {
        int n = static_cast<int>(text.size());
        int s = 0;
        while (s <= n) {
            int e = s;
            while (e < n && text[e] != QLatin1Char('\r') && text[e] != QLatin1Char('\n'))
                ++e;
            if (!(format & DT_WORDBREAK) || widthUpTo(text.mid(s, e - s), maxWidth) <= maxWidth) {
                lines.push_back(makeLine(s, e));
            } else {
                int pos = s;
                while (pos < e) {
                    int lineEnd = -1, visibleEnd = pos;
                    int k = pos;
                    while (k < e) {
                        int j = k;
                        while (j < e && !IsSpace(text[j]))
                            ++j;
                        int wordEnd = j;
                        while (j < e && IsSpace(text[j]))
                            ++j;
                        bool fits = width(text.mid(pos, wordEnd - pos)) <= maxWidth;
                        if (!fits && lineEnd != -1) break;
                        lineEnd = j;
                        visibleEnd = wordEnd;
                        k = j;
                        if (!fits) break;
                    }
                    if ((format & DT_EDITCONTROL) && width(text.mid(pos, visibleEnd - pos)) > maxWidth) {
                        // As an edit control does: a word wider than the line breaks between
                        // characters (at least one per line).
                        int k = pos + 1;
                        while (k < visibleEnd && width(text.mid(pos, k + 1 - pos)) <= maxWidth)
                            ++k;
                        lines.push_back(makeLine(pos, k));
                        pos = k;
                        continue;
                    }
                    lines.push_back(makeLine(pos, visibleEnd));
                    pos = lineEnd;
                }
            }
            if (e >= n) break;
            // One break: CR LF, CR or LF. A break at the very end starts no further line.
            s = e + ((text[e] == QLatin1Char('\r') && e + 1 < n && text[e + 1] == QLatin1Char('\n')) ? 2 : 1);
            if (s >= n) break;
        }
        if (lines.empty()) lines.push_back(Line{});
    }

    // Ellipses: for the only line, or for the last line of several. That line is measured only as
    // far as needed to see that it overflows.
    const uint32_t ellipsisFlags = DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS;
    const bool ellipsis = (format & ellipsisFlags) && !calc;
    for (size_t i = 0; i < lines.size(); ++i)
        lines[i].Width =
            ellipsis && i + 1 == lines.size() ? widthUpTo(lines[i].Text, maxWidth) : width(lines[i].Text);
    if (ellipsis) {
        Line& l = lines.back();
        if (l.Width > maxWidth) {
            QString out;
            int keep = -1; // characters kept from the start, for the underline
            // The largest k in [0, count] for which fits(k) holds, fits holding up to some k and
            // failing after (widths grow with the prefix). Probes double from a few characters
            // and then halve down, so a long text is measured only about as far as it can show.
            auto largestFitting = [](int count, const auto& fits) {
                int k = 0, over = -1;
                for (int probe = std::min(8, count); probe > k; probe = std::min(probe * 2, count)) {
                    if (!fits(probe)) {
                        over = probe;
                        break;
                    }
                    k = probe;
                }
                if (over < 0) return k;
                while (over - k > 1) {
                    int mid = k + (over - k) / 2;
                    (fits(mid) ? k : over) = mid;
                }
                return k;
            };
            if (format & DT_PATH_ELLIPSIS) {
                int sep =
                    std::max(l.Text.lastIndexOf(QLatin1Char('\\')), l.Text.lastIndexOf(QLatin1Char('/')));
                if (sep > 0) {
                    QString head = l.Text.left(sep), tail = l.Text.mid(sep);
                    if (widthUpTo(Ellipsis + tail, maxWidth) <= maxWidth) {
                        int k = largestFitting(static_cast<int>(head.size()), [&](int k) {
                            return width(head.left(k) + Ellipsis + tail) <= maxWidth;
                        });
                        out = head.left(k) + Ellipsis + tail;
                    } else {
                        // Even the bare file name does not fit: end it in an ellipsis as well.
                        int k = largestFitting(static_cast<int>(tail.size()), [&](int k) {
                            return width(Ellipsis + tail.left(k) + Ellipsis) <= maxWidth;
                        });
                        out = Ellipsis + tail.left(k) + Ellipsis;
                    }
                }
            }
            if (out.isEmpty() && (format & DT_WORD_ELLIPSIS)) {
                // The last word end (a space after a non-space) among the characters that fit.
                const int size = static_cast<int>(l.Text.size());
                const int fitting =
                    largestFitting(size, [&](int k) { return width(l.Text.left(k) + Ellipsis) <= maxWidth; });
                for (int visible = std::min(fitting, size - 1); visible > 0; --visible) {
                    if (IsSpace(l.Text[visible]) && !IsSpace(l.Text[visible - 1])) {
                        out = l.Text.left(visible) + Ellipsis;
                        keep = visible;
                        break;
                    }
                }
            }
            if (out.isEmpty()) {
                // End ellipsis: as many characters as fit before "..."; the whole line is known
                // not to fit.
                const int k = largestFitting(static_cast<int>(l.Text.size()), [&](int k) {
                    return width(l.Text.left(k) + Ellipsis) <= maxWidth;
                });
                out = l.Text.left(k) + Ellipsis;
                keep = k;
            }
            std::vector<int> ul;
            for (int i : l.Underline)
                if (i < keep) ul.push_back(i);
            l.Text = out;
            l.Underline = ul;
            l.Width = width(out);
            if ((format & DT_MODIFYSTRING) && modified) *modified = W(out);
        }
    }

    int maxLine = 0;
    for (const Line& l : lines)
        maxLine = std::max(maxLine, l.Width);
    const int total = static_cast<int>(lines.size()) * lineHeight;

    if (calc) {
        r.Right = r.Left + maxLine;
        r.Bottom = r.Top + total;
        return total;
    }

    int y0 = r.Top;
    if (single && (format & DT_VCENTER))
        y0 = r.Top + (r.Height() - lineHeight) / 2;
    else if (single && (format & DT_BOTTOM))
        y0 = r.Bottom - lineHeight;

    std::optional<QRegion> clip;
    if (!(format & DT_NOCLIP))
        clip = QRegion(QRect(r.Left - d.State.WindowOrg.X, r.Top - d.State.WindowOrg.Y,
                             std::max(0, r.Width()), std::max(0, r.Height())));
    {
        TCanvasPainter p(d, clip ? &*clip : nullptr);
        if (p.Active()) {
            bool rtl = format & DT_RTLREADING;
            bool opaque = d.State.BkMode == OPAQUE;
            int y = y0;
            for (const Line& l : lines) {
                // An edit control shows no partly visible last line (the first is always shown).
                if ((format & DT_EDITCONTROL) && y + lineHeight > r.Bottom && y > y0) break;
                int x = r.Left;
                if (format & DT_CENTER)
                    x = r.Left + (r.Width() - l.Width) / 2;
                else if (format & DT_RIGHT)
                    x = r.Right - l.Width;
                DrawRun(*p, d, x, y, l.Text, l.Underline, rtl, opaque, tabWidth, format & DT_PREFIXONLY);
                y += lineHeight;
            }
        }
    }
    if (single && (format & (DT_VCENTER | DT_BOTTOM))) return y0 - r.Top + lineHeight;
    return total;
}

int TCanvas::DrawText(const WideString& text, TRect& r, uint32_t format) {
    return CanvasDrawText(*FImpl, text, r, format, nullptr);
}

int TCanvas::DrawText(const AnsiString& text, TRect& r, uint32_t format) {
    return CanvasDrawText(*FImpl, AnsiToWide(text), r, format, nullptr);
}

int TCanvas::DrawTextModify(WideString& text, TRect& r, uint32_t format) {
    WideString original = text;
    return CanvasDrawText(*FImpl, original, r, format, &text);
}
