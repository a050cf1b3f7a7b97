// The small markup renderer of the link and markup labels.
#include <algorithm>
#include <vector>

#include "drawing/SharedCommon.h"
#include "platform/runtime/CodePage.h"

namespace NxSharedCommon {

namespace {

struct TTextStyle {
    TColor Color = clWindowText;
    AnsiString Name;
    int Size = 0;
    bool Bold = false, Italic = false, Underline = false;
    bool Link = false;
    WideString Href;
};

struct TPiece {
    WideString Text;
    TTextStyle Style;
    int X = 0, Width = 0, Height = 0, Ascent = 0;
};

struct TLine {
    std::vector<TPiece> Pieces;
    int Width = 0, Height = 0, Ascent = 0;
};

WideString Lower(WideString s) {
    for (auto& c : s)
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    return s;
}

THtmlTag TagOf(const WideString& name) {
    if (name == u"a") return htA;
    if (name == u"b") return htB;
    if (name == u"br") return htBr;
    if (name == u"font") return htFont;
    if (name == u"i") return htI;
    if (name == u"u") return htU;
    return htNone;
}

TTagParameter ParameterOf(const WideString& name) {
    if (name == u"color") return tpColor;
    if (name == u"name") return tpName;
    if (name == u"href") return tpHref;
    if (name == u"size") return tpSize;
    return tpNone;
}

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

// Splits "font color=red size='10'" into the tag name and its parameters.
void ParseTag(const WideString& body, WideString& name,
              std::vector<std::pair<TTagParameter, WideString>>& params) {
    size_t i = 0;
    while (i < body.size() && IsBlank(body[i]))
        ++i;
    size_t start = i;
    while (i < body.size() && !IsBlank(body[i]))
        ++i;
    name = Lower(body.substr(start, i - start));
    while (i < body.size()) {
        while (i < body.size() && IsBlank(body[i]))
            ++i;
        start = i;
        while (i < body.size() && body[i] != u'=' && !IsBlank(body[i]))
            ++i;
        const WideString key = Lower(body.substr(start, i - start));
        while (i < body.size() && IsBlank(body[i]))
            ++i;
        WideString value;
        if (i < body.size() && body[i] == u'=') {
            ++i;
            while (i < body.size() && IsBlank(body[i]))
                ++i;
            if (i < body.size() && (body[i] == u'"' || body[i] == u'\'')) {
                const char16_t quote = body[i++];
                start = i;
                while (i < body.size() && body[i] != quote)
                    ++i;
                value = body.substr(start, i - start);
                if (i < body.size()) ++i;
            } else {
                start = i;
                while (i < body.size() && !IsBlank(body[i]))
                    ++i;
                value = body.substr(start, i - start);
            }
        }
        if (!key.empty()) params.emplace_back(ParameterOf(key), value);
    }
}

void ApplyStyle(TCanvas* canvas, const TFont& base, const TTextStyle& s) {
    TFont f;
    f.Assign(base);
    if (!s.Name.empty()) f.SetName(s.Name);
    if (s.Size > 0) f.SetSize(s.Size);
    TFontStyles styles = base.GetStyle();
    if (s.Bold) styles.Include(fsBold);
    if (s.Italic) styles.Include(fsItalic);
    if (s.Underline || s.Link) styles.Include(fsUnderline);
    f.SetStyle(styles);
    f.SetColor(s.Link ? clBlue : s.Color);
    canvas->SetFont(f);
}

} // namespace

THtmlInfo ProcessHTML(TCanvas* canvas, const TRect& rect, const WideString& text, TPoint point,
                      TIndent indent, bool paint) {
    THtmlInfo info;
    TFont base;
    base.Assign(canvas->GetFont());
    const TBrushStyle oldBrush = canvas->GetBrush()->GetStyle();

    TTextStyle style;
    style.Color = base.GetColor();
    int bold = 0, italic = 0, underline = 0;
    std::vector<TTextStyle> fontStack;

    std::vector<TLine> lines(1);
    const int maxRight = rect.Width();
    int x = indent.Left;

    auto newLine = [&]() {
        lines.emplace_back();
        x = indent.Left;
    };
    auto addWord = [&](const WideString& word) {
        TTextStyle s = style;
        s.Bold = bold > 0;
        s.Italic = italic > 0;
        s.Underline = underline > 0;
        ApplyStyle(canvas, base, s);
        const TSize ext = canvas->TextExtent(word);
        const bool blank = word.find_first_not_of(u' ') == WideString::npos;
        if (!blank && x + ext.cx > maxRight && !lines.back().Pieces.empty()) newLine();
        if (blank && lines.back().Pieces.empty()) return; // no spaces at a line start
        TPiece p{word, s, x, ext.cx, ext.cy, canvas->GetTextMetrics().tmAscent};
        TLine& line = lines.back();
        line.Pieces.push_back(p);
        x += ext.cx;
        line.Width = x;
        line.Height = std::max(line.Height, p.Height);
        line.Ascent = std::max(line.Ascent, p.Ascent);
    };

    WideString word;
    auto flush = [&]() {
        if (!word.empty()) addWord(word);
        word.clear();
    };

    for (size_t i = 0; i < text.size();) {
        const char16_t c = text[i];
        if (c == u'<') {
            const size_t close = text.find(u'>', i);
            if (close == WideString::npos) {
                word += c;
                ++i;
                continue;
            }
            flush();
            WideString body = text.substr(i + 1, close - i - 1);
            i = close + 1;
            const bool closing = !body.empty() && body[0] == u'/';
            if (closing) body.erase(0, 1);
            WideString name;
            std::vector<std::pair<TTagParameter, WideString>> params;
            ParseTag(body, name, params);
            switch (TagOf(name)) {
            case htB:
                bold += closing ? (bold > 0 ? -1 : 0) : 1;
                break;
            case htI:
                italic += closing ? (italic > 0 ? -1 : 0) : 1;
                break;
            case htU:
                underline += closing ? (underline > 0 ? -1 : 0) : 1;
                break;
            case htBr:
                newLine();
                break;
            case htA:
                if (closing) {
                    style.Link = false;
                    style.Href.clear();
                } else {
                    style.Link = true;
                    style.Href.clear();
                    for (auto& [k, v] : params)
                        if (k == tpHref) style.Href = v;
                }
                break;
            case htFont:
                if (closing) {
                    if (!fontStack.empty()) {
                        const bool link = style.Link;
                        const WideString href = style.Href;
                        style = fontStack.back();
                        style.Link = link;
                        style.Href = href;
                        fontStack.pop_back();
                    }
                } else {
                    fontStack.push_back(style);
                    for (auto& [k, v] : params) {
                        if (k == tpColor) {
                            const TColor col = GetColorFromHTML(WideToAnsi(v));
                            if (col != clNone) style.Color = col;
                        } else if (k == tpName) {
                            style.Name = WideToAnsi(v);
                        } else if (k == tpSize) {
                            int n = 0;
                            bool ok = !v.empty();
                            for (char16_t d : v) {
                                if (d < u'0' || d > u'9' || n > 1000) {
                                    ok = false;
                                    break;
                                }
                                n = n * 10 + (d - u'0');
                            }
                            if (ok) style.Size = n;
                        }
                    }
                }
                break;
            case htNone:
                break;
            }
            continue;
        }
        if (IsBlank(c)) {
            flush();
            addWord(u" ");
            ++i;
            continue;
        }
        word += c;
        ++i;
    }
    flush();

    // Place the lines, record the links and draw.
    int y = indent.Top;
    if (paint) canvas->GetBrush()->SetStyle(bsClear);
    for (TLine& line : lines) {
        if (line.Height == 0) {
            TTextStyle plain;
            plain.Color = base.GetColor();
            ApplyStyle(canvas, base, plain);
            line.Height = canvas->TextHeight(WideString(u"Wg"));
        }
        for (const TPiece& p : line.Pieces) {
            const int top = y + line.Ascent - p.Ascent;
            const TRect r{rect.Left + p.X, rect.Top + top, rect.Left + p.X + p.Width,
                          rect.Top + top + p.Height};
            if (p.Style.Link) {
                info.Links.push_back({r, p.Style.Href});
                if (PtInRect(r, point)) {
                    info.LinkAtPoint = true;
                    info.HrefAtPoint = p.Style.Href;
                }
            }
            if (paint) {
                ApplyStyle(canvas, base, p.Style);
                canvas->TextOut(r.Left, r.Top, p.Text);
            }
        }
        info.Width = std::max(info.Width, line.Width);
        y += line.Height;
    }
    info.Height = y;
    info.LineCount = static_cast<int>(lines.size());
    canvas->SetFont(base);
    canvas->GetBrush()->SetStyle(oldBrush);
    return info;
}

} // namespace NxSharedCommon
