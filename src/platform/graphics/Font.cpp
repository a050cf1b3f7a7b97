#include "platform/graphics/Font.h"

#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QString>
#include <algorithm>
#include <cctype>
#include <cmath>

#include "platform/graphics/FontQt.h"

void TFont::SetName(const AnsiString& v) {
    if (FName == v) return;
    FName = v;
    Changed();
}

void TFont::SetHeight(int v) {
    if (FHeight == v) return;
    FHeight = v;
    Changed();
}

int TFont::GetSize() const {
    // Size and height round-trip the way the classic MulDiv does: halves away from zero.
    long long num = -static_cast<long long>(FHeight) * 72;
    long long den = FPixelsPerInch > 0 ? FPixelsPerInch : 96;
    long long q = (std::llabs(num) * 2 + den) / (2 * den);
    return static_cast<int>(num < 0 ? -q : q);
}

void TFont::SetSize(int v) {
    long long num = static_cast<long long>(v) * (FPixelsPerInch > 0 ? FPixelsPerInch : 96);
    long long q = (std::llabs(num) * 2 + 72) / 144;
    int height = -static_cast<int>(num < 0 ? -q : q);
    if (height == FHeight) return;
    FHeight = height;
    Changed();
}

void TFont::SetPixelsPerInch(int v) {
    if (v <= 0) v = 96;
    if (FPixelsPerInch == v) return;
    FPixelsPerInch = v;
    Changed();
}

void TFont::SetColor(TColor v) {
    if (FColor == v) return;
    FColor = v;
    Changed();
}

void TFont::SetStyle(TFontStyles v) {
    if (FStyle == v) return;
    FStyle = v;
    Changed();
}

void TFont::SetCharset(TFontCharset v) {
    if (FCharset == v) return;
    FCharset = v;
    Changed();
}

void TFont::SetPitch(TFontPitch v) {
    if (FPitch == v) return;
    FPitch = v;
    Changed();
}

void TFont::SetOrientation(int v) {
    if (FOrientation == v) return;
    FOrientation = v;
    Changed();
}

void TFont::Assign(const TFont& source) {
    if (&source == this) return;
    FName = source.FName;
    FHeight = source.FHeight;
    FPixelsPerInch = source.FPixelsPerInch;
    FColor = source.FColor;
    FStyle = source.FStyle;
    FCharset = source.FCharset;
    FPitch = source.FPitch;
    FOrientation = source.FOrientation;
    Changed();
}

void TFont::Assign(const TPersistent* source) {
    if (auto* font = dynamic_cast<const TFont*>(source)) {
        Assign(*font);
        return;
    }
    TPersistent::Assign(source);
}

bool TFont::IsEqual(const TFont& o) const {
    return FName == o.FName && FHeight == o.FHeight && FPixelsPerInch == o.FPixelsPerInch &&
           FColor == o.FColor && FStyle == o.FStyle && FCharset == o.FCharset && FPitch == o.FPitch &&
           FOrientation == o.FOrientation;
}

namespace {

std::string Lower(const std::string& s) {
    std::string r = s;
    std::transform(r.begin(), r.end(), r.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return r;
}

bool OneOf(const std::string& name, std::initializer_list<const char*> names) {
    for (const char* n : names)
        if (name == n) return true;
    return false;
}

} // namespace

AnsiString TFont::ResolveFamily(const AnsiString& faceName) {
    // Windows user-interface faces have no counterpart here; the system's generic families stand
    // in, so the look follows the desktop and text metrics stay close.
    std::string n = Lower(faceName);
    if (n.empty() || OneOf(n, {"ms sans serif", "microsoft sans serif", "ms shell dlg", "ms shell dlg 2",
                               "tahoma", "segoe ui", "arial", "verdana", "calibri", "trebuchet ms",
                               "lucida sans unicode", "small fonts", "system", "default", "ms ui gothic"}))
        return "Sans Serif";
    if (OneOf(n, {"courier new", "courier", "consolas", "lucida console", "fixedsys", "terminal"}))
        return "Monospace";
    if (OneOf(n, {"times new roman", "times", "ms serif", "georgia", "cambria"})) return "Serif";
    return faceName;
}

namespace {

// The pixel size whose cell (ascent + descent) is the given height, for a positive font height.
int PixelSizeForCellHeight(const QFont& base, int cellHeight) {
    static QHash<QString, double> ratios;
    QString key = base.family() + (base.bold() ? "/b" : "") + (base.italic() ? "/i" : "");
    auto it = ratios.find(key);
    if (it == ratios.end()) {
        QFont probe = base;
        probe.setPixelSize(100);
        QFontMetrics fm(probe);
        int h = fm.ascent() + fm.descent();
        it = ratios.insert(key, h > 0 ? 100.0 / h : 1.0);
    }
    return std::max(1, static_cast<int>(std::lround(cellHeight * it.value())));
}

} // namespace

QFont FontToQt(const TFont& font) {
    QString family = QString::fromStdString(TFont::ResolveFamily(font.GetName()));
    QFont q(family);
    QFont::StyleHint hint = QFont::AnyStyle;
    if (family == "Sans Serif")
        hint = QFont::SansSerif;
    else if (family == "Monospace")
        hint = QFont::Monospace;
    else if (family == "Serif")
        hint = QFont::Serif;
    // Pixel-exact text: no antialiasing, integer advances, and no kerning, so the width of a text is
    // the sum of its characters' widths as on the classic platform.
    q.setStyleHint(hint, QFont::NoAntialias);
    q.setHintingPreference(QFont::PreferFullHinting);
    q.setKerning(false);
    TFontStyles st = font.GetStyle();
    q.setBold(st.Contains(fsBold));
    q.setItalic(st.Contains(fsItalic));
    q.setUnderline(st.Contains(fsUnderline));
    q.setStrikeOut(st.Contains(fsStrikeOut));
    if (font.GetPitch() == fpFixed) q.setFixedPitch(true);
    int h = font.GetHeight();
    if (h < 0)
        q.setPixelSize(-h);
    else if (h > 0)
        q.setPixelSize(PixelSizeForCellHeight(q, h));
    else
        q.setPixelSize(13); // height 0: the platform's default size
    return q;
}
