#pragma once
// Byte streams: TStream and its kinds over files (TFileStream), memory (TMemoryStream) and an
// 8-bit string (TStringStream), with helpers for 8-bit and 16-bit text.

#include <cstdint>
#include <string>

#include "platform/runtime/Object.h"
#include "platform/runtime/Types.h"

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

// Text encodings of streams and text files. teDefault reads UTF-8 when the bytes are valid
// UTF-8 and the 8-bit code page otherwise (writing it means teAnsi).
enum TTextEncoding { teDefault, teAnsi, teUTF8, teUnicode, teBigEndianUnicode };

class TStream : public TObject {
public:
    // Reads up to Count bytes; the number read (0 at the end).
    virtual int64_t Read(void* Buffer, int64_t Count) = 0;
    // Writes up to Count bytes; the number written.
    virtual int64_t Write(const void* Buffer, int64_t Count) = 0;
    // The new position.
    virtual int64_t Seek(int64_t Offset, TSeekOrigin Origin) = 0;

    // All Count bytes or EReadError "Stream read error" / EWriteError "Stream write error".
    void ReadBuffer(void* Buffer, int64_t Count);
    void WriteBuffer(const void* Buffer, int64_t Count);
    // Copies Count bytes from Source's position (Count 0: all of Source from its start).
    int64_t CopyFrom(TStream& Source, int64_t Count);

    int64_t GetPosition() { return Seek(0, soCurrent); }
    void SetPosition(int64_t Pos) { Seek(Pos, soBeginning); }
    virtual int64_t GetSize();
    virtual void SetSize(int64_t NewSize);

    // One byte; false at the end.
    bool ReadByte(uint8_t& B);
    void WriteByte(uint8_t B);

    // Text: the bytes of 8-bit (or UTF-8) text as they are; wide text as 16-bit units, low
    // byte first unless BigEndian. Nothing else (no length, no terminator, no byte order mark).
    void WriteAnsiString(const AnsiString& S);
    void WriteWideString(const WideString& S, bool BigEndian = false);
    // Up to Count bytes / Count 16-bit units from the position (fewer at the end).
    AnsiString ReadAnsiString(int64_t Count);
    WideString ReadWideString(int64_t Count, bool BigEndian = false);
    // Everything from the position to the end.
    AnsiString ReadAll();
};

// Writes wide text in an encoding, optionally with its byte order mark first (FF FE, FE FF or
// EF BB BF; none for 8-bit text).
void WriteText(TStream& Stream, const WideString& Text, TTextEncoding Encoding, bool WriteBOM);
// Reads from the position to the end, honouring a byte order mark; without one, Encoding
// decides (teDefault: valid UTF-8 as UTF-8, else the 8-bit code page).
WideString ReadText(TStream& Stream, TTextEncoding Encoding = teDefault);
// The same on bytes held in memory.
WideString DecodeText(const std::string& Bytes, TTextEncoding Encoding = teDefault);
std::string EncodeText(const WideString& Text, TTextEncoding Encoding, bool WriteBOM);

// A stream over an open file descriptor (not closed by this class).
class THandleStream : public TStream {
public:
    explicit THandleStream(int AHandle) : FHandle(AHandle) {}
    int64_t Read(void* Buffer, int64_t Count) override;
    int64_t Write(const void* Buffer, int64_t Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    void SetSize(int64_t NewSize) override;
    int GetHandle() const { return FHandle; }

protected:
    int FHandle = -1;
};

// Open modes: one access mode, optionally or-ed with a share mode; or fmCreate alone.
// Share modes are accepted for compatibility; this platform does not lock files.
inline constexpr uint16_t fmOpenRead = 0x0000;
inline constexpr uint16_t fmOpenWrite = 0x0001;
inline constexpr uint16_t fmOpenReadWrite = 0x0002;
inline constexpr uint16_t fmShareCompat = 0x0000;
inline constexpr uint16_t fmShareExclusive = 0x0010;
inline constexpr uint16_t fmShareDenyWrite = 0x0020;
inline constexpr uint16_t fmShareDenyRead = 0x0030;
inline constexpr uint16_t fmShareDenyNone = 0x0040;
// Creates the file, or empties an existing one, for reading and writing (a share mode may be
// or-ed in).
inline constexpr uint16_t fmCreate = 0xFF00;

// A file. The name is UTF-8 (the file system's form). Failure raises EFCreateError
// "Cannot create file \"name\". reason" or EFOpenError "Cannot open file \"name\". reason".
class TFileStream : public THandleStream {
public:
    TFileStream(const std::string& FileName, uint16_t Mode);
    TFileStream(const WideString& FileName, uint16_t Mode);
    ~TFileStream() override;
    const std::string& GetFileName() const { return FFileName; }

private:
    std::string FFileName;
};

// A stream over a growable block of memory that it owns.
class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    ~TMemoryStream() override = default;
    int64_t Read(void* Buffer, int64_t Count) override;
    int64_t Write(const void* Buffer, int64_t Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    int64_t GetSize() override { return FSize; }
    void SetSize(int64_t NewSize) override;
    void Clear();
    void* Memory() { return FData.data(); }
    const void* Memory() const { return FData.data(); }
    // Replace the content by the whole of Stream or the file; position 0.
    void LoadFromStream(TStream& Stream);
    void LoadFromFile(const std::string& FileName);
    // Write the whole content.
    void SaveToStream(TStream& Stream);
    void SaveToFile(const std::string& FileName);

private:
    std::string FData; // capacity
    int64_t FSize = 0;
    int64_t FPosition = 0;
};

// A stream over an 8-bit string (bytes), readable back as DataString.
class TStringStream : public TStream {
public:
    explicit TStringStream(const AnsiString& AString = AnsiString()) : FData(AString) {}
    int64_t Read(void* Buffer, int64_t Count) override;
    int64_t Write(const void* Buffer, int64_t Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    int64_t GetSize() override { return static_cast<int64_t>(FData.size()); }
    void SetSize(int64_t NewSize) override;
    const AnsiString& GetDataString() const { return FData; }
    const AnsiString& DataString() const { return FData; }
    // Up to Count bytes from the position.
    AnsiString ReadString(int64_t Count) { return ReadAnsiString(Count); }
    void WriteString(const AnsiString& S) { WriteAnsiString(S); }

private:
    AnsiString FData;
    int64_t FPosition = 0;
};
