#pragma once
// The system clipboard's plain text, for controls that copy and paste.

#include <vector>

#include "platform/runtime/TextBuffer.h"
#include "platform/runtime/Types.h"

// Replaces the clipboard's content by Text. Text of any length; an empty text clears it.
void SetClipboardText(const WideString& Text);
// The same for a long text built in a buffer: the clipboard keeps the buffer itself and makes the
// text a program asks for only when one asks, so a copy of a million rows is not copied again.
void SetClipboardText(TTextBuffer&& Text);
// The same for a text built in parts (by several threads): the text is the parts one after the
// other, never joined into one buffer. Empty parts are allowed; all empty clears the clipboard.
void SetClipboardText(std::vector<TTextBuffer>&& Parts);
// The clipboard's plain text; empty when it holds none.
WideString GetClipboardText();
