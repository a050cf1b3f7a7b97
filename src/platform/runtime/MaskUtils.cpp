#include "platform/runtime/MaskUtils.h"

#include <vector>

namespace {

// The mask split into its fields at the last two unescaped ';'.
struct Fields {
    WideString Mask;
    bool Save = true;
    WideChar Blank = u' ';
};

Fields Split(const WideString& editMask) {
    std::vector<size_t> separators;
    for (size_t i = 0; i < editMask.size(); ++i) {
        if (editMask[i] == u'\\') {
            ++i;
            continue;
        }
        if (editMask[i] == u';') separators.push_back(i);
    }
    Fields f;
    f.Mask = editMask;
    if (separators.empty()) return f;
    // Up to two trailing fields; a mask that holds more ';' keeps the earlier ones as literals.
    size_t first = separators.size() >= 2 ? separators[separators.size() - 2] : separators.back();
    f.Mask = editMask.substr(0, first);
    WideString rest = editMask.substr(first + 1);
    size_t semi = rest.find(u';');
    WideString save = semi == WideString::npos ? rest : rest.substr(0, semi);
    f.Save = save.empty() || save[0] != u'0';
    if (semi != WideString::npos && semi + 1 < rest.size()) f.Blank = rest[semi + 1];
    return f;
}

bool IsInput(WideChar c) {
    switch (c) {
    case u'L':
    case u'l':
    case u'A':
    case u'a':
    case u'C':
    case u'c':
    case u'0':
    case u'9':
    case u'#':
        return true;
    default:
        return false;
    }
}

} // namespace

bool MaskGetMaskSave(const WideString& EditMask) {
    return Split(EditMask).Save;
}

WideChar MaskGetMaskBlank(const WideString& EditMask) {
    return Split(EditMask).Blank;
}

WideString FormatMaskText(const WideString& EditMask, const WideString& Value, const TFormatSettings& FS) {
    Fields f = Split(EditMask);
    WideString out;
    size_t v = 0;
    int caseMode = 0; // 1 upper, -1 lower
    const WideString& m = f.Mask;
    for (size_t i = 0; i < m.size(); ++i) {
        WideChar c = m[i];
        WideChar literal = 0;
        bool input = false;
        if (c == u'\\' && i + 1 < m.size()) {
            literal = m[++i];
        } else if (c == u'>') {
            if (i + 1 < m.size() && m[i + 1] == u'<') {
                caseMode = 0;
                ++i;
            } else {
                caseMode = 1;
            }
            continue;
        } else if (c == u'<') {
            if (i + 1 < m.size() && m[i + 1] == u'>') {
                caseMode = 0;
                ++i;
            } else {
                caseMode = -1;
            }
            continue;
        } else if (c == u'!') {
            continue;
        } else if (c == u':') {
            literal = FS.TimeSeparator;
        } else if (c == u'/') {
            literal = FS.DateSeparator;
        } else if (c == u'_') {
            literal = u' ';
        } else if (IsInput(c)) {
            input = true;
        } else {
            literal = c;
        }
        if (!input) {
            out += literal;
            // A value that carries the literals has them in place.
            if (f.Save && v < Value.size() && Value[v] == literal) ++v;
            continue;
        }
        WideChar ch = v < Value.size() ? Value[v++] : u' ';
        if (caseMode > 0)
            ch = AnsiUpperCase(WideString(1, ch))[0];
        else if (caseMode < 0)
            ch = AnsiLowerCase(WideString(1, ch))[0];
        out += ch;
    }
    return out;
}

WideString FormatMaskText(const WideString& EditMask, const WideString& Value) {
    return FormatMaskText(EditMask, Value, DefaultFormatSettings());
}
