#include "platform/runtime/Streams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/runtime/CodePage.h"
#include "platform/runtime/Exception.h"
#include "platform/runtime/FileSystem.h"
#include "platform/runtime/RtlConsts.h"
#include "platform/runtime/SysUtils.h"

// ---------------------------------------------------------------------------------------------
// TStream

void TStream::ReadBuffer(void* Buffer, int64_t Count) {
    auto* p = static_cast<char*>(Buffer);
    int64_t done = 0;
    while (done < Count) {
        int64_t n = Read(p + done, Count - done);
        if (n <= 0) throw EReadError(SReadError);
        done += n;
    }
}

void TStream::WriteBuffer(const void* Buffer, int64_t Count) {
    auto* p = static_cast<const char*>(Buffer);
    int64_t done = 0;
    while (done < Count) {
        int64_t n = Write(p + done, Count - done);
        if (n <= 0) throw EWriteError(SWriteError);
        done += n;
    }
}

int64_t TStream::CopyFrom(TStream& Source, int64_t Count) {
    if (Count == 0) {
        Source.SetPosition(0);
        Count = Source.GetSize();
    }
    char buffer[64 * 1024];
    int64_t left = Count;
    while (left > 0) {
        int64_t n = std::min<int64_t>(left, sizeof buffer);
        Source.ReadBuffer(buffer, n);
        WriteBuffer(buffer, n);
        left -= n;
    }
    return Count;
}

int64_t TStream::GetSize() {
    int64_t pos = Seek(0, soCurrent);
    int64_t size = Seek(0, soEnd);
    Seek(pos, soBeginning);
    return size;
}

void TStream::SetSize(int64_t) {}

bool TStream::ReadByte(uint8_t& B) {
    return Read(&B, 1) == 1;
}

void TStream::WriteByte(uint8_t B) {
    WriteBuffer(&B, 1);
}

void TStream::WriteAnsiString(const AnsiString& S) {
    if (!S.empty()) WriteBuffer(S.data(), static_cast<int64_t>(S.size()));
}

void TStream::WriteWideString(const WideString& S, bool BigEndian) {
    std::string bytes;
    bytes.reserve(S.size() * 2);
    for (char16_t c : S) {
        char lo = static_cast<char>(c & 0xFF), hi = static_cast<char>(c >> 8);
        bytes += BigEndian ? hi : lo;
        bytes += BigEndian ? lo : hi;
    }
    WriteAnsiString(bytes);
}

AnsiString TStream::ReadAnsiString(int64_t Count) {
    AnsiString s;
    if (Count <= 0) return s;
    int64_t available = GetSize() - GetPosition();
    Count = std::min(Count, std::max<int64_t>(available, 0));
    s.resize(static_cast<size_t>(Count));
    int64_t done = 0;
    while (done < Count) {
        int64_t n = Read(s.data() + done, Count - done);
        if (n <= 0) break;
        done += n;
    }
    s.resize(static_cast<size_t>(done));
    return s;
}

WideString TStream::ReadWideString(int64_t Count, bool BigEndian) {
    AnsiString bytes = ReadAnsiString(Count * 2);
    WideString s;
    s.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        auto a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
        s += static_cast<char16_t>(BigEndian ? (a << 8) | b : (b << 8) | a);
    }
    return s;
}

AnsiString TStream::ReadAll() {
    return ReadAnsiString(GetSize() - GetPosition());
}

// ---------------------------------------------------------------------------------------------
// Text

std::string EncodeText(const WideString& Text, TTextEncoding Encoding, bool WriteBOM) {
    switch (Encoding) {
    case teUTF8:
        return (WriteBOM ? std::string("\xEF\xBB\xBF") : std::string()) + WideToUtf8(Text);
    case teUnicode:
    case teBigEndianUnicode: {
        bool big = Encoding == teBigEndianUnicode;
        TStringStream s;
        if (WriteBOM) s.WriteAnsiString(big ? "\xFE\xFF" : "\xFF\xFE");
        s.WriteWideString(Text, big);
        return s.GetDataString();
    }
    case teDefault:
    case teAnsi:
        break;
    }
    return WideToAnsi(Text);
}

WideString DecodeText(const std::string& Bytes, TTextEncoding Encoding) {
    auto wide = [&](size_t from, bool big) {
        WideString s;
        for (size_t i = from; i + 1 < Bytes.size(); i += 2) {
            auto a = static_cast<unsigned char>(Bytes[i]), b = static_cast<unsigned char>(Bytes[i + 1]);
            s += static_cast<char16_t>(big ? (a << 8) | b : (b << 8) | a);
        }
        return s;
    };
    if (Bytes.size() >= 2 && Bytes[0] == '\xFF' && Bytes[1] == '\xFE') return wide(2, false);
    if (Bytes.size() >= 2 && Bytes[0] == '\xFE' && Bytes[1] == '\xFF') return wide(2, true);
    if (Bytes.size() >= 3 && Bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        return Utf8ToWide(std::string_view(Bytes).substr(3));
    switch (Encoding) {
    case teUnicode:
        return wide(0, false);
    case teBigEndianUnicode:
        return wide(0, true);
    case teUTF8:
        return Utf8ToWide(Bytes);
    case teAnsi:
        return AnsiToWide(Bytes);
    case teDefault:
        break;
    }
    return IsValidUtf8(Bytes) ? Utf8ToWide(Bytes) : AnsiToWide(Bytes);
}

void WriteText(TStream& Stream, const WideString& Text, TTextEncoding Encoding, bool WriteBOM) {
    Stream.WriteAnsiString(EncodeText(Text, Encoding, WriteBOM));
}

WideString ReadText(TStream& Stream, TTextEncoding Encoding) {
    return DecodeText(Stream.ReadAll(), Encoding);
}

// ---------------------------------------------------------------------------------------------
// THandleStream, TFileStream

int64_t THandleStream::Read(void* Buffer, int64_t Count) {
    if (Count <= 0) return 0;
    for (;;) {
        ssize_t n = ::read(FHandle, Buffer, static_cast<size_t>(Count));
        if (n < 0 && errno == EINTR) continue;
        return n < 0 ? 0 : n;
    }
}

int64_t THandleStream::Write(const void* Buffer, int64_t Count) {
    if (Count <= 0) return 0;
    for (;;) {
        ssize_t n = ::write(FHandle, Buffer, static_cast<size_t>(Count));
        if (n < 0 && errno == EINTR) continue;
        return n < 0 ? 0 : n;
    }
}

int64_t THandleStream::Seek(int64_t Offset, TSeekOrigin Origin) {
    int whence = Origin == soBeginning ? SEEK_SET : Origin == soCurrent ? SEEK_CUR : SEEK_END;
    off_t r = ::lseek(FHandle, static_cast<off_t>(Offset), whence);
    return r < 0 ? -1 : static_cast<int64_t>(r);
}

void THandleStream::SetSize(int64_t NewSize) {
    int64_t pos = GetPosition();
    if (::ftruncate(FHandle, static_cast<off_t>(NewSize)) != 0) throw EWriteError(SWriteError);
    if (pos > NewSize) Seek(NewSize, soBeginning);
}

TFileStream::TFileStream(const std::string& FileName, uint16_t Mode)
    : THandleStream(-1), FFileName(FileName) {
    // fmCreate may carry a share mode in its low bits.
    if ((Mode & fmCreate) == fmCreate) {
        FHandle = ::open(FileName.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (FHandle < 0)
            throw EFCreateError(Format(SFCreateErrorEx, {FileName, std::string(std::strerror(errno))}));
        return;
    }
    int access = Mode & 0x0003;
    if (access == fmOpenRead) {
        // Reading takes regular files only: a pipe or device would block or never end.
        int error = 0;
        FHandle = OpenRegularFile(FileName, error);
        if (FHandle < 0) throw EFOpenError(Format(SFOpenErrorEx, {FileName, FileErrorText(error)}));
        return;
    }
    int flags = access == fmOpenWrite ? O_WRONLY : O_RDWR;
    FHandle = ::open(FileName.c_str(), flags | O_CLOEXEC);
    if (FHandle >= 0) {
        struct stat st;
        if (::fstat(FHandle, &st) == 0 && S_ISDIR(st.st_mode)) {
            ::close(FHandle);
            FHandle = -1;
            errno = EISDIR;
        }
    }
    if (FHandle < 0) throw EFOpenError(Format(SFOpenErrorEx, {FileName, std::string(std::strerror(errno))}));
}

TFileStream::TFileStream(const WideString& FileName, uint16_t Mode)
    : TFileStream(WideToUtf8(FileName), Mode) {}

TFileStream::~TFileStream() {
    if (FHandle >= 0) ::close(FHandle);
}

// ---------------------------------------------------------------------------------------------
// TMemoryStream

int64_t TMemoryStream::Read(void* Buffer, int64_t Count) {
    if (Count <= 0 || FPosition >= FSize) return 0;
    int64_t n = std::min(Count, FSize - FPosition);
    std::memcpy(Buffer, FData.data() + FPosition, static_cast<size_t>(n));
    FPosition += n;
    return n;
}

int64_t TMemoryStream::Write(const void* Buffer, int64_t Count) {
    if (Count <= 0 || FPosition < 0) return 0;
    int64_t end = FPosition + Count;
    int64_t oldSize = FSize;
    if (end > FSize) {
        if (end > static_cast<int64_t>(FData.size())) {
            // Grow by a quarter at least, so byte-by-byte writes stay linear.
            int64_t capacity = std::max<int64_t>(end, static_cast<int64_t>(FData.size()) +
                                                          static_cast<int64_t>(FData.size()) / 4);
            FData.resize(static_cast<size_t>((capacity + 0x1FFF) & ~int64_t(0x1FFF)));
        }
        FSize = end;
    }
    // A write past the end after a seek leaves zeros in the gap.
    if (FPosition > oldSize) std::memset(FData.data() + oldSize, 0, static_cast<size_t>(FPosition - oldSize));
    std::memcpy(FData.data() + FPosition, Buffer, static_cast<size_t>(Count));
    FPosition = end;
    return Count;
}

int64_t TMemoryStream::Seek(int64_t Offset, TSeekOrigin Origin) {
    int64_t base = Origin == soBeginning ? 0 : Origin == soCurrent ? FPosition : FSize;
    int64_t pos = base + Offset;
    if (pos < 0) return -1;
    FPosition = pos;
    return FPosition;
}

void TMemoryStream::SetSize(int64_t NewSize) {
    if (NewSize < 0) NewSize = 0;
    if (NewSize > static_cast<int64_t>(FData.size())) FData.resize(static_cast<size_t>(NewSize));
    // Bytes past the old end read as zero.
    if (NewSize > FSize) std::memset(FData.data() + FSize, 0, static_cast<size_t>(NewSize - FSize));
    FSize = NewSize;
    if (FPosition > NewSize) FPosition = NewSize;
}

void TMemoryStream::Clear() {
    std::string().swap(FData);
    FSize = 0;
    FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream& Stream) {
    Stream.SetPosition(0);
    int64_t size = Stream.GetSize();
    SetSize(size);
    if (size > 0) Stream.ReadBuffer(FData.data(), size);
    FPosition = 0;
}

void TMemoryStream::LoadFromFile(const std::string& FileName) {
    TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

void TMemoryStream::SaveToStream(TStream& Stream) {
    if (FSize > 0) Stream.WriteBuffer(FData.data(), FSize);
}

void TMemoryStream::SaveToFile(const std::string& FileName) {
    TFileStream file(FileName, fmCreate);
    SaveToStream(file);
}

// ---------------------------------------------------------------------------------------------
// TStringStream

int64_t TStringStream::Read(void* Buffer, int64_t Count) {
    int64_t size = static_cast<int64_t>(FData.size());
    if (Count <= 0 || FPosition >= size) return 0;
    int64_t n = std::min(Count, size - FPosition);
    std::memcpy(Buffer, FData.data() + FPosition, static_cast<size_t>(n));
    FPosition += n;
    return n;
}

int64_t TStringStream::Write(const void* Buffer, int64_t Count) {
    if (Count <= 0 || FPosition < 0) return 0;
    size_t end = static_cast<size_t>(FPosition + Count);
    if (end > FData.size()) FData.resize(end);
    std::memcpy(FData.data() + FPosition, Buffer, static_cast<size_t>(Count));
    FPosition += Count;
    return Count;
}

int64_t TStringStream::Seek(int64_t Offset, TSeekOrigin Origin) {
    int64_t base = Origin == soBeginning ? 0
                   : Origin == soCurrent ? FPosition
                                         : static_cast<int64_t>(FData.size());
    int64_t pos = base + Offset;
    if (pos < 0) return -1;
    FPosition = pos;
    return FPosition;
}

void TStringStream::SetSize(int64_t NewSize) {
    FData.resize(static_cast<size_t>(std::max<int64_t>(NewSize, 0)));
    if (FPosition > static_cast<int64_t>(FData.size())) FPosition = static_cast<int64_t>(FData.size());
}
