// The clipboard keeps text exactly, tabs, line breaks and characters outside Latin-1 included.

#include <gtest/gtest.h>

#include "platform/windows/Clipboard.h"

TEST(Clipboard, TextRoundTripsExactlyAndEmptyClears) {
    WideString Text = u"a\tb\r\n\u00e9\u4e2d\t\r\nlast";
    SetClipboardText(Text);
    EXPECT_EQ(GetClipboardText(), Text);
    SetClipboardText(u"");
    EXPECT_EQ(GetClipboardText(), u"");
}
