// TSafeFileStream: buffered writing to a temporary file that is renamed over the target.

#include "platform/runtime/SafeFileStream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/runtime/CodePage.h"
#include "platform/runtime/Exception.h"
#include "platform/runtime/RtlConsts.h"
#include "platform/runtime/SysUtils.h"

namespace {

constexpr size_t BufferSize = 256 * 1024;

[[noreturn]] void RaiseCreate(const std::string& FileName, int Error) {
    throw EFCreateError(Format(SFCreateErrorEx, {FileName, FileErrorText(Error)}));
}

std::string FolderOf(const std::string& FileName) {
    size_t Slash = FileName.rfind('/');
    if (Slash == std::string::npos) return ".";
    if (Slash == 0) return "/";
    return FileName.substr(0, Slash);
}

} // namespace

TSafeFileStream::TSafeFileStream(const std::string& FileName) : FFileName(FileName) {
    struct stat Target;
    bool Exists = ::stat(FileName.c_str(), &Target) == 0;
    if (Exists && S_ISDIR(Target.st_mode)) RaiseCreate(FileName, EISDIR);
    // Opening a pipe without a reader would wait for ever.
    if (Exists && S_ISFIFO(Target.st_mode)) RaiseCreate(FileName, kErrorIsPipe);
    if (Exists && S_ISSOCK(Target.st_mode)) RaiseCreate(FileName, kErrorIsSocket);
    if (Exists && !S_ISREG(Target.st_mode)) {
        FHandle = ::open(FileName.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        if (FHandle < 0) RaiseCreate(FileName, errno);
        const int Flags = ::fcntl(FHandle, F_GETFL);
        if (Flags != -1) ::fcntl(FHandle, F_SETFL, Flags & ~O_NONBLOCK);
        return;
    }
    // A new file gets the permissions a new file would get; a replaced one keeps its permission
    // bits, but never a set-user-ID or set-group-ID bit on content that is not the old program.
    mode_t Mode;
    if (Exists) {
        Mode = Target.st_mode & 0777;
    } else {
        mode_t Mask = ::umask(0);
        ::umask(Mask);
        Mode = 0666 & ~Mask;
    }
    FTemp = CreateUnnamedFile(FolderOf(FileName), 0600);
    if (!FTemp.Ok()) RaiseCreate(FileName, FTemp.Error);
    FHandle = FTemp.Handle;
    ::fchmod(FHandle, Mode);
    FBuffer.reserve(BufferSize);
}

TSafeFileStream::TSafeFileStream(const WideString& FileName) : TSafeFileStream(WideToUtf8(FileName)) {}

TSafeFileStream::~TSafeFileStream() {
    if (FHandle >= 0) ::close(FHandle);
    if (!FCommitted) DiscardUnnamedFile(FTemp);
}

void TSafeFileStream::Flush() {
    size_t Done = 0;
    while (Done < FBuffer.size()) {
        ssize_t n = ::write(FHandle, FBuffer.data() + Done, FBuffer.size() - Done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            FBuffer.clear();
            throw EWriteError(SWriteError);
        }
        Done += static_cast<size_t>(n);
    }
    FBuffer.clear();
}

int64_t TSafeFileStream::Write(const void* Buffer, int64_t Count) {
    if (FCommitted || FHandle < 0) throw EWriteError(SWriteError);
    if (Count <= 0) return 0;
    const char* Bytes = static_cast<const char*>(Buffer);
    size_t Size = static_cast<size_t>(Count);
    if (FBuffer.size() + Size > BufferSize) Flush();
    if (Size >= BufferSize) {
        FBuffer.assign(Bytes, Size);
        Flush();
    } else {
        FBuffer.append(Bytes, Size);
    }
    FWritten += Count;
    return Count;
}

int64_t TSafeFileStream::Read(void*, int64_t) {
    return 0;
}

int64_t TSafeFileStream::Seek(int64_t Offset, TSeekOrigin Origin) {
    if (Offset == 0 && Origin == soCurrent) return FWritten;
    throw EStreamError(SSeekNotImplemented);
}

void TSafeFileStream::Commit() {
    if (FCommitted || FHandle < 0) throw EWriteError(SWriteError);
    Flush();
    const bool Replacing = FTemp.Ok();
    if (Replacing && (::fsync(FHandle) != 0 || NameUnnamedFile(FTemp) != 0)) throw EWriteError(SWriteError);
    int Handle = FHandle;
    FHandle = -1;
    if (::close(Handle) != 0) throw EWriteError(SWriteError);
    if (Replacing && std::rename(FTemp.TempName.c_str(), FFileName.c_str()) != 0)
        throw EWriteError(SWriteError);
    FCommitted = true;
}
