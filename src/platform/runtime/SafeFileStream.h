#pragma once
// A write-only file stream that replaces its target only when complete: the bytes go, buffered,
// to a temporary file beside the target, which Commit renames over it.

#include <cstdint>
#include <string>

#include "platform/runtime/Streams.h"

class TSafeFileStream : public TStream {
public:
    // Creates the temporary file in the target's folder (UTF-8 name). A target that exists and is
    // no regular file (a device, a pipe) is written directly, as it cannot be replaced. Failure
    // raises EFCreateError "Cannot create file \"name\". reason" naming the target.
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

    // Flushes, syncs and moves the file into place (with the target's permissions when it
    // existed). Failure raises EWriteError and leaves the target unchanged. Writing after
    // Commit raises EWriteError.
    void Commit();
    const std::string& GetFileName() const { return FFileName; }

private:
    void Flush();
    std::string FFileName;
    std::string FTempName; // empty when writing the target directly
    int FHandle = -1;
    bool FCommitted = false;
    int64_t FWritten = 0;
    std::string FBuffer;
};
