#pragma once
// The system clipboard's plain text, for controls that copy and paste.

#include "platform/runtime/TextBuffer.h"
#include "platform/runtime/Types.h"

// Replaces the clipboard's content by Text. Text of any length; an empty text clears it.
void SetClipboardText(const WideString& Text);
// The same for a long text built in a buffer: the clipboard keeps the buffer itself and makes the
// text a program asks for only when one asks, so a copy of a million rows is not copied again.
void SetClipboardText(TTextBuffer&& Text);
// The clipboard's plain text; empty when it holds none.
WideString GetClipboardText();
