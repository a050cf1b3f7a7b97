#pragma once
// Edit masks: "mask;save-literals;blank" as the masked edit controls use them, and
// FormatMaskText, which lays a raw value out by such a mask.
//
// Mask characters: L l A a C c 0 9 # take one character of the value each; '\' makes the next
// character a literal; '>' turns what follows to upper case, '<' to lower case, "<>" ends either;
// '!' is accepted and ignored; ':' and '/' stand for the time and date separators; '_' is a
// blank; every other character is a literal.

#include "platform/runtime/SysUtils.h"
#include "platform/runtime/Types.h"

// Whether the mask's second field asks for literals in the value (missing or not '0': yes).
bool MaskGetMaskSave(const WideString& EditMask);
// The mask's blank character (third field; ' ' when missing).
WideChar MaskGetMaskBlank(const WideString& EditMask);

// Value laid out by the mask: literals are written where the mask has them (a value that holds
// the literals itself, as a mask that saves literals expects, has them taken over in place);
// input positions take the value's characters in turn, blanks once the value runs out.
WideString FormatMaskText(const WideString& EditMask, const WideString& Value);
WideString FormatMaskText(const WideString& EditMask, const WideString& Value, const TFormatSettings& FS);
