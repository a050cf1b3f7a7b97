#include "platform/runtime/Guid.h"

#include <random>

#include "platform/runtime/CodePage.h"
#include "platform/runtime/Exception.h"
#include "platform/runtime/RtlConsts.h"
#include "platform/runtime/SysUtils.h"

bool TGUID::IsEmpty() const {
    return *this == TGUID{};
}

HRESULT CoCreateGuid(TGUID& Guid) {
    // The system's entropy source; one device per call keeps this free of shared state.
    std::random_device device;
    uint8_t bytes[16];
    for (int i = 0; i < 16; i += 4) {
        uint32_t r = device();
        for (int k = 0; k < 4; ++k)
            bytes[i + k] = static_cast<uint8_t>(r >> (8 * k));
    }
    Guid.D1 = (uint32_t(bytes[0]) << 24) | (uint32_t(bytes[1]) << 16) | (uint32_t(bytes[2]) << 8) | bytes[3];
    Guid.D2 = static_cast<uint16_t>((bytes[4] << 8) | bytes[5]);
    Guid.D3 = static_cast<uint16_t>((((bytes[6] << 8) | bytes[7]) & 0x0FFF) | 0x4000); // version 4
    for (int i = 0; i < 8; ++i)
        Guid.D4[i] = bytes[8 + i];
    Guid.D4[0] = static_cast<uint8_t>((Guid.D4[0] & 0x3F) | 0x80); // RFC 4122 variant
    return S_OK;
}

HRESULT CreateGUID(TGUID& Guid) {
    return CoCreateGuid(Guid);
}

TGUID NewGUID() {
    TGUID g;
    CoCreateGuid(g);
    return g;
}

WideString GUIDToString(const TGUID& Guid) {
    static const char16_t hex[] = u"0123456789ABCDEF";
    WideString s;
    s.reserve(38);
    auto put = [&](uint64_t v, int digits) {
        for (int i = digits - 1; i >= 0; --i)
            s += hex[(v >> (4 * i)) & 0xF];
    };
    s += u'{';
    put(Guid.D1, 8);
    s += u'-';
    put(Guid.D2, 4);
    s += u'-';
    put(Guid.D3, 4);
    s += u'-';
    put(Guid.D4[0], 2);
    put(Guid.D4[1], 2);
    s += u'-';
    for (int i = 2; i < 8; ++i)
        put(Guid.D4[i], 2);
    s += u'}';
    return s;
}

bool TryStringToGUID(const WideString& S, TGUID& Guid) {
    if (S.size() != 38 || S[0] != u'{' || S[37] != u'}') return false;
    size_t pos = 1;
    auto read = [&](int digits, uint64_t& out) {
        out = 0;
        for (int i = 0; i < digits; ++i) {
            char16_t c = S[pos++];
            int v;
            if (c >= u'0' && c <= u'9')
                v = c - u'0';
            else if (c >= u'A' && c <= u'F')
                v = c - u'A' + 10;
            else if (c >= u'a' && c <= u'f')
                v = c - u'a' + 10;
            else
                return false;
            out = (out << 4) | static_cast<uint64_t>(v);
        }
        return true;
    };
    auto dash = [&] { return S[pos++] == u'-'; };
    uint64_t d1, d2, d3, a, b;
    if (!read(8, d1) || !dash() || !read(4, d2) || !dash() || !read(4, d3) || !dash() || !read(4, a) ||
        !dash() || !read(12, b))
        return false;
    Guid.D1 = static_cast<uint32_t>(d1);
    Guid.D2 = static_cast<uint16_t>(d2);
    Guid.D3 = static_cast<uint16_t>(d3);
    Guid.D4[0] = static_cast<uint8_t>(a >> 8);
    Guid.D4[1] = static_cast<uint8_t>(a);
    for (int i = 0; i < 6; ++i)
        Guid.D4[2 + i] = static_cast<uint8_t>(b >> (8 * (5 - i)));
    return true;
}

TGUID StringToGUID(const WideString& S) {
    TGUID g;
    if (!TryStringToGUID(S, g)) throw EConvertError(Format(SInvalidGUID, {S}));
    return g;
}

TGUID StringToGUID(const AnsiString& S) {
    TGUID g;
    if (!TryStringToGUID(AnsiToWide(S), g)) throw EConvertError(Format(SInvalidGUID, {AnsiToUtf8(S)}));
    return g;
}

bool IsEqualGUID(const TGUID& A, const TGUID& B) {
    return A == B;
}
