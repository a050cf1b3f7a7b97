#pragma once
// The file-system services the batch run uses, behind one seam so that tests can make any of them
// fail: a full disk, a folder that cannot be created, a name that is taken between test and create.

#include <cstdint>
#include <memory>
#include <string>

#include "decoding/MarkedTextDecoder.h"

// A source opened for reading untranslated bytes. Read returns 0 at the end or on a failure;
// Error tells them apart. A signal that interrupts a read which has no data yet makes it return 0
// with Error EINTR, so that a stop request is seen even when the read would block; the next Read
// clears that error and tries again.
class BatchInput : public ByteSource {
public:
    // The length of the source (seek to the end and back); 0 when it cannot be found.
    virtual uint64_t Size() = 0;
    // errno of a failed read, 0 when none failed.
    virtual int Error() const = 0;
    // The source's permission bits (0777 at most); false with error set when they cannot be read.
    virtual bool Permissions(unsigned& mode, int& error) = 0;
};

// A new output file, without a name until Link gives it one: an output dropped unlinked, or a
// process killed before the link, leaves nothing under any output name. Writes after a failure are
// dropped; Error tells the first failure.
class BatchOutput : public ByteSink {
public:
    virtual int Error() const = 0;
    // Gives the file the name path, never replacing a file: 0 on success, EEXIST when the name is
    // taken (nothing changed; another name may be tried), or another errno. Before Close.
    virtual int Link(const std::string& path) = 0;
    // Closes the file; false (and Error set) when the close failed, e.g. data not written.
    virtual bool Close() = 0;
};

class BatchFileSystem {
public:
    virtual ~BatchFileSystem() = default;

    // The drive type of the mount that holds the path (DRIVE_FIXED, ...).
    virtual unsigned DriveType(const std::string& path);
    virtual bool DirectoryExists(const std::string& path);
    // One level; false when it could not be created.
    virtual bool CreateDir(const std::string& path);
    virtual bool FileExists(const std::string& path);

    // A regular file, opened without waiting; nullptr with error set (as OpenRegularFile sets it)
    // when it cannot be opened or is something else, e.g. a pipe or a device.
    virtual std::unique_ptr<BatchInput> OpenRead(const std::string& path, int& error);
    // A new file in the folder with the permission bits mode less the umask and no name yet
    // (CreateUnnamedFile); nullptr with error set when it cannot be created.
    virtual std::unique_ptr<BatchOutput> CreateUnnamed(const std::string& folder, unsigned mode, int& error);
    virtual bool Remove(const std::string& path);
};

// A source over an open descriptor, which it closes.
std::unique_ptr<BatchInput> MakeDescriptorInput(int fd);

// The batch run's default: the real file system.
BatchFileSystem& RealFileSystem();
