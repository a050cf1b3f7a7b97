// Memory, string and file streams; 8-bit and 16-bit text.

#include <fstream>
#include <iterator>

#include "platform/runtime/RuntimeTestSupport.h"
#include "platform/runtime/Streams.h"

namespace {

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(MemoryStream, ReadsWritesSeeksAndGrows) {
    TMemoryStream s;
    for (int i = 0; i < 100000; ++i)
        s.WriteByte(static_cast<uint8_t>(i * 7));
    EXPECT_EQ(s.GetSize(), 100000);
    EXPECT_EQ(s.GetPosition(), 100000);
    s.SetPosition(0);
    bool same = true;
    uint8_t b;
    for (int i = 0; i < 100000; ++i)
        same = same && s.ReadByte(b) && b == static_cast<uint8_t>(i * 7);
    EXPECT_TRUE(same);
    EXPECT_FALSE(s.ReadByte(b));

    EXPECT_EQ(s.Seek(-10, soEnd), 99990);
    char buf[20];
    EXPECT_EQ(s.Read(buf, 20), 10);
    EXPECT_EQ(MessageOf<EReadError>([&] {
                  s.SetPosition(99995);
                  s.ReadBuffer(buf, 6);
              }),
              "Stream read error");

    // A write past the end after a seek leaves zeros in the gap.
    s.SetSize(4);
    s.Seek(8, soBeginning);
    s.WriteAnsiString("xy");
    EXPECT_EQ(s.GetSize(), 10);
    s.SetPosition(0);
    EXPECT_EQ(s.ReadAll(), std::string("\x00\x07\x0e\x15\x00\x00\x00\x00xy", 10));

    s.Clear();
    EXPECT_EQ(s.GetSize(), 0);
    EXPECT_EQ(s.ReadAll(), "");
}

TEST(StringStream, HoldsBytesAndCopiesBetweenStreams) {
    TStringStream s("hello");
    EXPECT_EQ(s.ReadString(3), "hel");
    s.WriteString("P!");
    EXPECT_EQ(s.DataString(), "helP!");
    s.Seek(0, soEnd);
    s.WriteWideString(u"A\u20ac", true);
    s.WriteWideString(u"A\u20ac");
    EXPECT_EQ(s.DataString(), std::string("helP!\x00"
                                          "A\x20\xac"
                                          "A\x00\xac\x20",
                                          13));
    s.SetPosition(5);
    EXPECT_EQ(s.ReadWideString(2, true), u"A\u20ac");
    EXPECT_EQ(s.ReadWideString(5), u"A\u20ac"); // fewer at the end

    TMemoryStream m;
    s.SetPosition(2);
    EXPECT_EQ(m.CopyFrom(s, 3), 3);
    EXPECT_EQ(m.CopyFrom(s, 0), 13); // all of the source
    m.SetPosition(0);
    EXPECT_EQ(m.ReadAll(), "lP!" + s.DataString());
    EXPECT_THROW(m.CopyFrom(s, 100), EReadError);
}

TEST(FileStream, CreateOpenReadAndWrite) {
    TempFolder folder;
    std::string path = folder.File("data.bin");
    {
        TFileStream f(path, fmCreate);
        f.WriteAnsiString("0123456789");
        EXPECT_EQ(f.GetSize(), 10);
    }
    EXPECT_EQ(FileBytes(path), "0123456789");
    {
        TFileStream f(path, fmOpenWrite | fmShareDenyWrite); // no truncation
        f.Seek(2, soBeginning);
        f.WriteAnsiString("ab");
    }
    EXPECT_EQ(FileBytes(path), "01ab456789");
    {
        TFileStream f(path, fmOpenRead | fmShareDenyWrite);
        f.Seek(-3, soEnd);
        EXPECT_EQ(f.ReadAll(), "789");
        EXPECT_THROW(f.WriteAnsiString("no"), EWriteError);
    }
    {
        TFileStream f(path, fmOpenReadWrite);
        f.SetSize(4);
        EXPECT_EQ(f.ReadAll(), "01ab");
    }
    {
        TFileStream f(WideString(u"data.bin").insert(0, Utf8ToWide(folder.Path() + "/")),
                      fmCreate | fmShareExclusive);
        EXPECT_EQ(f.GetSize(), 0); // created anew
        f.WriteAnsiString("new");
    }
    EXPECT_EQ(FileBytes(path), "new");
    // A UTF-8 file name reaches the file system as it is.
    std::string named = folder.File("\xc3\xa9t\xc3\xa9.txt");
    { TFileStream f(Utf8ToWide(named), fmCreate); }
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(named)));

    std::string missing = folder.File("missing.txt");
    std::string openMessage = MessageOf<EFOpenError>([&] { TFileStream f(missing, fmOpenRead); });
    EXPECT_EQ(openMessage.rfind("Cannot open file \"" + missing + "\". ", 0), 0u) << openMessage;
    std::string createIn = folder.File("no/such/dir.txt");
    std::string createMessage = MessageOf<EFCreateError>([&] { TFileStream f(createIn, fmCreate); });
    EXPECT_EQ(createMessage.rfind("Cannot create file \"" + createIn + "\". ", 0), 0u) << createMessage;
    EXPECT_THROW(TFileStream(folder.Path(), fmOpenRead), EFOpenError);
    EXPECT_THROW(TFileStream(missing, fmOpenRead), EStreamError);
}

TEST(TextEncoding, ByteOrderMarksAndTheCodePage) {
    SetSystemCodePage(TCodePage::cp1252);
    const WideString text = u"Gr\u00fc\u00dfe \u20ac";
    EXPECT_EQ(EncodeText(text, teAnsi, true), "Gr\xfc\xdf"
                                              "e \x80");
    EXPECT_EQ(EncodeText(u"A", teUnicode, true), std::string("\xff\xfe"
                                                             "A\x00",
                                                             4));
    EXPECT_EQ(EncodeText(u"A", teBigEndianUnicode, true), std::string("\xfe\xff\x00"
                                                                      "A",
                                                                      4));
    EXPECT_EQ(EncodeText(u"\u00e9", teUTF8, true), "\xef\xbb\xbf\xc3\xa9");
    EXPECT_EQ(EncodeText(u"\u00e9", teUTF8, false), "\xc3\xa9");

    for (TTextEncoding e : {teAnsi, teUTF8, teUnicode, teBigEndianUnicode})
        for (bool bom : {true, false})
            EXPECT_EQ(DecodeText(EncodeText(text, e, bom), e), text) << e << bom;
    // Without a mark and without a stated encoding: UTF-8 when it is valid, else the code page.
    EXPECT_EQ(DecodeText("\xc3\xa9"), u"\u00e9");
    EXPECT_EQ(DecodeText("\xe9t\xe9"), u"\u00e9t\u00e9");
    EXPECT_EQ(DecodeText("\xff\xfe"
                         "A"),
              u""); // a lone odd byte after the mark is dropped

    TMemoryStream s;
    WriteText(s, text, teBigEndianUnicode, true);
    s.SetPosition(0);
    EXPECT_EQ(ReadText(s), text);
}

} // namespace
