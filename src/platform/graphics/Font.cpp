#include "platform/graphics/Font.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QHash>
#include <QString>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <mutex>
#include <utility>

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

namespace {

// Every character the windows' captions are made of, in the order of the width tables below.
const QString& SampleText() {
    static const QString sample = [] {
        QString s;
        for (char c = 'a'; c <= 'z'; ++c)
            s += QChar(c);
        for (char c = 'A'; c <= 'Z'; ++c)
            s += QChar(c);
        s += QStringLiteral("0123456789 .,:;-()");
        for (char16_t c = 0x430; c <= 0x44F; ++c)
            s += QChar(c);
        for (char16_t c = 0x410; c <= 0x42F; ++c)
            s += QChar(c);
        return s;
    }();
    return sample;
}

// What the Windows user-interface faces measure at 11 pixels (8 points at 96 pixels per inch):
// the advance of each sample character (one base-36 digit each) and the line height (ascent +
// descent, the forms' TextHeight). The forms' layout numbers were made with these widths.
struct FaceMetrics {
    const char* face;
    int lineHeight;
    const char* widths;
};
constexpr int kReferencePixels = 11;
constexpr FaceMetrics kFaceMetrics[] = {
    {"ms sans serif", 13,
     "666663662262866663536685557778768835769887887787B77766666666663333333366656686666686666655856589"
     "786686777697B7887898887778B7889A8A7798"},
    {"tahoma", 13,
     "665664662352866664546686657677667745658786876676A666666666666634444444666566856656766665568666"
     "99686586766686A67767878767668687AB8967A7"},
};

// Installed families that may stand in for those faces, in order of preference on a tie.
constexpr const char* kSansCandidates[] = {"DejaVu Sans Condensed",  "Liberation Sans", "DejaVu Sans",
                                           "Liberation Sans Narrow", "Noto Sans",       "FreeSans"};

const FaceMetrics* FindFaceMetrics(const std::string& lowerName) {
    // The shell dialog faces are the same design as the classic sans at these sizes.
    std::string n = lowerName;
    if (OneOf(n, {"microsoft sans serif", "ms shell dlg", "ms shell dlg 2", "default"})) n = "ms sans serif";
    for (const FaceMetrics& m : kFaceMetrics)
        if (n == m.face) return &m;
    return nullptr;
}

// How far a family's text runs from the original's at a pixel size: lexicographic, line height
// first (it sizes every auto-sized control), then the characters' advances, where a wider glyph
// counts twice a narrower one because it can push a caption out of its box.
std::pair<int, double> Distance(const QString& family, const FaceMetrics& m, int pixels) {
    QFont q(family);
    q.setStyleStrategy(QFont::NoAntialias);
    q.setHintingPreference(QFont::PreferFullHinting);
    q.setKerning(false);
    q.setPixelSize(pixels);
    QFontMetrics fm(q);
    double scale = double(pixels) / kReferencePixels;
    int heightError = std::abs(fm.height() - int(std::lround(m.lineHeight * scale)));
    double widthError = 0;
    const QString& sample = SampleText();
    for (qsizetype i = 0; i < sample.size(); ++i) {
        char digit = m.widths[i];
        int reference = digit <= '9' ? digit - '0' : digit - 'A' + 10;
        double d = fm.horizontalAdvance(sample[i]) - reference * scale;
        widthError += d > 0 ? 2 * d : -d;
    }
    return {heightError, widthError};
}

AnsiString ClosestInstalledFamily(const FaceMetrics& m, int pixels) {
    static std::mutex lock;
    static std::map<std::pair<std::string, int>, AnsiString> chosen;
    std::lock_guard<std::mutex> guard(lock);
    auto key = std::make_pair(std::string(m.face), pixels);
    if (auto it = chosen.find(key); it != chosen.end()) return it->second;
    const QStringList installed = QFontDatabase::families();
    AnsiString best;
    std::pair<int, double> bestDistance;
    for (const char* candidate : kSansCandidates) {
        QString family = QString::fromLatin1(candidate);
        if (!installed.contains(family)) continue;
        auto systems = QFontDatabase::writingSystems(family);
        if (!systems.contains(QFontDatabase::Latin) || !systems.contains(QFontDatabase::Cyrillic)) continue;
        auto d = Distance(family, m, pixels);
        if (best.empty() || d < bestDistance) {
            best = candidate;
            bestDistance = d;
        }
    }
    if (best.empty()) best = "Sans Serif";
    chosen.emplace(key, best);
    return best;
}

} // namespace

AnsiString TFont::ResolveFamily(const AnsiString& faceName, int pixelSize) {
    std::string n = Lower(faceName);
    if (n.empty()) n = "ms sans serif";
    if (const FaceMetrics* m = FindFaceMetrics(n)) return ClosestInstalledFamily(*m, std::max(1, pixelSize));
    // Other Windows faces have no measurements here; the system's generic families stand in.
    if (OneOf(n, {"segoe ui", "arial", "verdana", "calibri", "trebuchet ms", "lucida sans unicode",
                  "small fonts", "system", "ms ui gothic"}))
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
    int h = font.GetHeight();
    // A cell height is about 13/11 of the character height for the sans faces.
    int approxPixels = h < 0 ? -h : h > 0 ? std::max(1, h * 11 / 13) : 13;
    QString family = QString::fromStdString(TFont::ResolveFamily(font.GetName(), approxPixels));
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
    if (h < 0)
        q.setPixelSize(-h);
    else if (h > 0)
        q.setPixelSize(PixelSizeForCellHeight(q, h));
    else
        q.setPixelSize(13); // height 0: the platform's default size
    return q;
}
