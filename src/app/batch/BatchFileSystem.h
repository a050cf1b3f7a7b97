#pragma once
// The file-system services the batch run uses, behind one seam so that tests can make any of them
// fail: a full disk, a folder that cannot be created, a name that is taken between test and create.

#include <cstdint>
#include <memory>
#include <string>

#include "decoding/MarkedTextDecoder.h"

// A source opened for reading untranslated bytes. Read returns 0 at the end or on a failure;
// Error tells them apart.
class BatchInput : public ByteSource {
public:
    // The length of the source (seek to the end and back); 0 when it cannot be found.
    virtual uint64_t Size() = 0;
    // errno of a failed read, 0 when none failed.
    virtual int Error() const = 0;
    // The source's permission bits (0777 at most); false with error set when they cannot be read.
    virtual bool Permissions(unsigned& mode, int& error) = 0;
};

// A new output file. Writes after a failure are dropped; Error tells the first failure.
class BatchOutput : public ByteSink {
public:
    virtual int Error() const = 0;
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
    // Creates the file only if the name is free, with the permission bits mode less the umask.
    // nullptr with exists set when it is taken, or with error set when creation failed otherwise.
    virtual std::unique_ptr<BatchOutput> CreateNew(const std::string& path, unsigned mode, bool& exists,
                                                   int& error);
    virtual bool Remove(const std::string& path);
};

// An output over an open descriptor, which it closes.
std::unique_ptr<BatchOutput> MakeDescriptorOutput(int fd);

// The batch run's default: the real file system.
BatchFileSystem& RealFileSystem();
