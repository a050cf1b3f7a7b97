#include "app/batch/BatchFileSystem.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/runtime/FileSystem.h"

namespace {

class FdInput : public BatchInput {
public:
    explicit FdInput(int fd) : fd_(fd) {}
    ~FdInput() override { ::close(fd_); }

    uint64_t Size() override {
        const off_t end = ::lseek(fd_, 0, SEEK_END);
        const off_t start = ::lseek(fd_, 0, SEEK_SET);
        return end > 0 && start == 0 ? static_cast<uint64_t>(end) : 0;
    }

    size_t Read(uint8_t* buffer, size_t capacity) override {
        if (error_ == EINTR) error_ = 0;
        if (error_ != 0) return 0;
        const ssize_t n = ::read(fd_, buffer, capacity);
        if (n >= 0) return static_cast<size_t>(n);
        error_ = errno;
        return 0;
    }

    int Error() const override { return error_; }

    bool Permissions(unsigned& mode, int& error) override {
        struct stat st {};
        if (::fstat(fd_, &st) != 0) {
            error = errno;
            return false;
        }
        mode = static_cast<unsigned>(st.st_mode) & 0777u;
        error = 0;
        return true;
    }

private:
    int fd_;
    int error_ = 0;
};

class FdOutput : public BatchOutput {
public:
    explicit FdOutput(TUnnamedFile file) : file_(std::move(file)), fd_(file_.Handle) {}
    ~FdOutput() override {
        if (fd_ >= 0) ::close(fd_);
        DiscardUnnamedFile(file_);
    }

    int Link(const std::string& path) override {
        if (fd_ < 0) return EBADF;
        return LinkUnnamedFile(file_, path);
    }

    void Write(const uint8_t* data, size_t size) override {
        while (error_ == 0 && size > 0) {
            const ssize_t n = ::write(fd_, data, size);
            if (n < 0) {
                if (errno != EINTR) error_ = errno;
                continue;
            }
            data += n;
            size -= static_cast<size_t>(n);
        }
    }

    int Error() const override { return error_; }

    bool Close() override {
        if (fd_ < 0) return error_ == 0;
        const int rc = ::close(fd_);
        fd_ = -1;
        if (rc != 0 && error_ == 0 && errno != EINTR) error_ = errno;
        return error_ == 0;
    }

private:
    TUnnamedFile file_;
    int fd_;
    int error_ = 0;
};

} // namespace

unsigned BatchFileSystem::DriveType(const std::string& path) {
    return GetDriveType(path);
}
bool BatchFileSystem::DirectoryExists(const std::string& path) {
    return ::DirectoryExists(path);
}
bool BatchFileSystem::CreateDir(const std::string& path) {
    return ::CreateDir(path);
}
bool BatchFileSystem::FileExists(const std::string& path) {
    return ::FileExists(path);
}

std::unique_ptr<BatchInput> BatchFileSystem::OpenRead(const std::string& path, int& error) {
    const int fd = OpenRegularFile(path, error);
    if (fd < 0) return nullptr;
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    return MakeDescriptorInput(fd);
}

std::unique_ptr<BatchOutput> BatchFileSystem::CreateUnnamed(const std::string& folder, unsigned mode,
                                                            int& error) {
    TUnnamedFile file = CreateUnnamedFile(folder, mode);
    error = file.Error;
    return file.Ok() ? std::make_unique<FdOutput>(std::move(file)) : nullptr;
}

bool BatchFileSystem::Remove(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}

std::unique_ptr<BatchInput> MakeDescriptorInput(int fd) {
    return std::make_unique<FdInput>(fd);
}

BatchFileSystem& RealFileSystem() {
    static BatchFileSystem fs;
    return fs;
}
