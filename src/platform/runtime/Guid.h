#pragma once
// GUIDs: creation, and the text form in braces with upper-case hex groups 8-4-4-4-12.

#include <cstdint>

#include "platform/runtime/Types.h"

struct TGUID {
    uint32_t D1 = 0;
    uint16_t D2 = 0;
    uint16_t D3 = 0;
    uint8_t D4[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    bool IsEmpty() const;
    friend bool operator==(const TGUID&, const TGUID&) = default;
};

// A new random (version 4) GUID. Returns S_OK.
HRESULT CoCreateGuid(TGUID& Guid);
HRESULT CreateGUID(TGUID& Guid);
TGUID NewGUID();

// "{0123ABCD-4567-89AB-CDEF-0123456789AB}".
WideString GUIDToString(const TGUID& Guid);
// Exactly that form (38 characters, hex digits of either case); anything else raises
// EConvertError "'%s' is not a valid GUID value".
TGUID StringToGUID(const WideString& S);
TGUID StringToGUID(const AnsiString& S);
bool TryStringToGUID(const WideString& S, TGUID& Guid);
bool IsEqualGUID(const TGUID& A, const TGUID& B);
