#pragma once
// A write-only file stream that replaces its target only when complete: the bytes go, buffered,
// to an unnamed file beside the target, which Commit names and renames over it. A process killed
// before Commit leaves the target as it was and, where the file system has unnamed files, nothing
// else.

#include <cstdint>
#include <string>

#include "platform/runtime/FileSystem.h"
#include "platform/runtime/Streams.h"

class TSafeFileStream : public TStream {
public:
    // Creates the temporary file in the target's folder. A device target is written directly, as it
    // cannot be replaced; it is opened without waiting. A pipe or a socket is refused, as is a
    // folder. Failure raises EFCreateError "Cannot create file \"name\". reason" naming the target.
    explicit TSafeFileStream(const std::string& FileName);
    explicit TSafeFileStream(const WideString& FileName);
    // Without Commit the temporary file is removed and the target stays as it was.
    ~TSafeFileStream() override;

    // Buffered; a failed write raises EWriteError "Stream write error".
    int64_t Write(const void* Buffer, int64_t Count) override;
    // Write-only: reading gives nothing.
    int64_t Read(void* Buffer, int64_t Count) override;
    // Only the position can be asked (Seek(0, soCurrent)); other moves raise EStreamError.
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;

    // Flushes, syncs and moves the file into place (with the target's permission bits when it
    // existed, less set-user-ID, set-group-ID and sticky bits). Failure raises EWriteError and leaves the
    // target unchanged. Writing after Commit raises EWriteError.
    void Commit();
    const std::string& GetFileName() const { return FFileName; }

private:
    void Flush();
    std::string FFileName;
    TUnnamedFile FTemp; // no handle when writing the target directly
    int FHandle = -1;
    bool FCommitted = false;
    int64_t FWritten = 0;
    std::string FBuffer;
};
