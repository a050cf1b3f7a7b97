// The clipboard keeps text exactly, tabs, line breaks and characters outside Latin-1 included.

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "platform/runtime/SysUtils.h"
#include "platform/windows/Clipboard.h"

TEST(Clipboard, TextRoundTripsExactlyAndEmptyClears) {
    WideString Text = u"a\tb\r\n\u00e9\u4e2d\t\r\nlast";
    SetClipboardText(Text);
    EXPECT_EQ(GetClipboardText(), Text);
    SetClipboardText(u"");
    EXPECT_EQ(GetClipboardText(), u"");
}

TEST(Clipboard, ABufferedTextIsPastedWholeAfterTheBufferLeft) {
    // Past two huge pages, so the buffer has grown into a moved block before the clipboard takes it.
    TTextBuffer Buffer(4);
    WideString Expected;
    for (int i = 0; Expected.size() < 4'500'000; ++i) {
        const WideString Line = u"row " + IntToStr(i) + u"\t\u4e2d\r\n";
        Buffer.Append(Line);
        Expected += Line;
    }
    SetClipboardText(std::move(Buffer));
    EXPECT_TRUE(Buffer.Empty());
    EXPECT_EQ(GetClipboardText(), Expected);
    // What another program receives: the same text as UTF-8.
    const QByteArray Pasted = QGuiApplication::clipboard()->mimeData()->data(QStringLiteral("text/plain"));
    EXPECT_EQ(QString::fromUtf8(Pasted).toStdU16String(), Expected);
    SetClipboardText(TTextBuffer());
    EXPECT_EQ(GetClipboardText(), u"");

    // A text in parts, an empty one among them, pastes as the parts one after the other.
    std::vector<TTextBuffer> Parts(3);
    Parts[0].Append(Expected.substr(0, 700'001));
    Parts[2].Append(Expected.substr(700'001));
    SetClipboardText(std::move(Parts));
    EXPECT_EQ(GetClipboardText(), Expected);
    const QByteArray Joined = QGuiApplication::clipboard()->mimeData()->data(QStringLiteral("text/plain"));
    EXPECT_EQ(QString::fromUtf8(Joined).toStdU16String(), Expected);
    SetClipboardText(std::vector<TTextBuffer>(2));
    EXPECT_EQ(GetClipboardText(), u"");

    // A lone surrogate comes back as it was; another program gets valid UTF-8, a question mark in
    // its place, and a pair appended unit by unit whole.
    TTextBuffer Odd;
    Odd.Append(u"a\xD800"
               u"b");
    Odd.Append(u'\xD83D');
    Odd.Append(u'\xDE00');
    SetClipboardText(std::move(Odd));
    EXPECT_EQ(GetClipboardText(), u"a\xD800"
                                  u"b\xD83D\xDE00");
    EXPECT_EQ(QGuiApplication::clipboard()->mimeData()->data(QStringLiteral("text/plain")),
              QByteArray("a?b\xF0\x9F\x98\x80"));
}
