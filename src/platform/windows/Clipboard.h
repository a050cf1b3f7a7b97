#pragma once
// The system clipboard's plain text, for controls that copy and paste.

#include "platform/runtime/Types.h"

// Replaces the clipboard's content by Text. Text of any length; an empty text clears it.
void SetClipboardText(const WideString& Text);
// The clipboard's plain text; empty when it holds none.
WideString GetClipboardText();
