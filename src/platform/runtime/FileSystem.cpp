#include "platform/runtime/FileSystem.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <random>
#include <sstream>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "platform/runtime/CodePage.h"

namespace fs = std::filesystem;

namespace {

std::string DecodeMountField(std::string_view field) {
    std::string out;
    out.reserve(field.size());
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && field[i + 1] >= '0' && field[i + 1] <= '3' &&
            field[i + 2] >= '0' && field[i + 2] <= '7' && field[i + 3] >= '0' && field[i + 3] <= '7') {
            out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                     (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ')
            ++i;
        size_t start = i;
        while (i < line.size() && line[i] != ' ')
            ++i;
        if (i > start) fields.push_back(line.substr(start, i - start));
    }
    return fields;
}

// The absolute, symlink-free form of a path that may not exist yet.
std::string AbsolutePath(std::string_view path) {
    std::error_code ec;
    fs::path p = path.empty() ? fs::current_path(ec) : fs::path(std::string(path));
    if (p.is_relative()) p = fs::current_path(ec) / p;
    fs::path canonical = fs::weakly_canonical(p, ec);
    return ec ? p.lexically_normal().string() : canonical.string();
}

const std::vector<TMountEntry>& CurrentMounts(std::vector<TMountEntry>& storage) {
    std::ifstream in("/proc/self/mountinfo");
    std::stringstream text;
    text << in.rdbuf();
    storage = ParseMountInfo(text.str());
    return storage;
}

bool IsRemovableDevice(unsigned major, unsigned minor) {
    if (major == 0) return false;
    std::error_code ec;
    fs::path dev = fs::canonical("/sys/dev/block/" + std::to_string(major) + ":" + std::to_string(minor), ec);
    if (ec) return false;
    // A partition has no flag of its own; its disk, one level up, has it.
    for (const fs::path& dir : {dev, dev.parent_path()}) {
        std::ifstream flag(dir / "removable");
        int value = 0;
        if (flag >> value) return value == 1;
    }
    return false;
}

bool IsOneOf(std::string_view value, std::initializer_list<std::string_view> list) {
    for (std::string_view item : list)
        if (value == item) return true;
    return false;
}

} // namespace

std::vector<TMountEntry> ParseMountInfo(std::string_view text) {
    std::vector<TMountEntry> mounts;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::vector<std::string_view> f = SplitFields(text.substr(start, end - start));
        start = end + 1;
        // id parent major:minor root mountpoint options [optional...] - fstype source superoptions
        size_t dash = 0;
        for (size_t i = 6; i < f.size(); ++i)
            if (f[i] == "-") {
                dash = i;
                break;
            }
        if (dash == 0 || dash + 1 >= f.size()) continue;
        TMountEntry e;
        e.MountPoint = DecodeMountField(f[4]);
        e.FsType = DecodeMountField(f[dash + 1]);
        e.Source = dash + 2 < f.size() ? DecodeMountField(f[dash + 2]) : std::string();
        std::string_view dev = f[2];
        size_t colon = dev.find(':');
        if (colon != std::string_view::npos) {
            e.DeviceMajor =
                static_cast<unsigned>(std::strtoul(std::string(dev.substr(0, colon)).c_str(), nullptr, 10));
            e.DeviceMinor =
                static_cast<unsigned>(std::strtoul(std::string(dev.substr(colon + 1)).c_str(), nullptr, 10));
        }
        mounts.push_back(std::move(e));
    }
    return mounts;
}

const TMountEntry* FindMount(const std::vector<TMountEntry>& mounts, std::string_view absolutePath) {
    const TMountEntry* best = nullptr;
    for (const TMountEntry& m : mounts) {
        std::string_view mp = m.MountPoint;
        bool holds = false;
        if (mp == "/") {
            holds = !absolutePath.empty() && absolutePath[0] == '/';
        } else if (absolutePath.substr(0, mp.size()) == mp) {
            holds = absolutePath.size() == mp.size() || absolutePath[mp.size()] == '/';
        }
        // Later mounts on the same point cover earlier ones.
        if (holds && (!best || mp.size() >= best->MountPoint.size())) best = &m;
    }
    return best;
}

unsigned DriveTypeOfMount(const TMountEntry& mount, bool removableDevice) {
    std::string_view t = mount.FsType;
    if (IsOneOf(t, {"nfs",       "nfs4",        "cifs",      "smb3",        "smbfs",
                    "ncpfs",     "afs",         "coda",      "9p",          "ceph",
                    "glusterfs", "lustre",      "davfs",     "fuse.sshfs",  "fuse.glusterfs",
                    "fuse.ceph", "fuse.rclone", "fuse.s3fs", "fuse.davfs2", "fuse.smbnetfs"}))
        return DRIVE_REMOTE;
    if (IsOneOf(t, {"iso9660", "udf"}) || mount.DeviceMajor == 11) return DRIVE_CDROM;
    if (IsOneOf(t, {"tmpfs", "ramfs"})) return DRIVE_RAMDISK;
    if (IsOneOf(t, {"proc",       "sysfs",  "devtmpfs",    "devpts",   "cgroup", "cgroup2",   "debugfs",
                    "securityfs", "pstore", "bpf",         "tracefs",  "mqueue", "hugetlbfs", "configfs",
                    "fusectl",    "autofs", "binfmt_misc", "efivarfs", "nsfs",   "rpc_pipefs"}))
        return DRIVE_UNKNOWN;
    return removableDevice ? DRIVE_REMOVABLE : DRIVE_FIXED;
}

unsigned GetDriveType(std::string_view path) {
    std::vector<TMountEntry> storage;
    const TMountEntry* m = FindMount(CurrentMounts(storage), AbsolutePath(path));
    if (!m) return DRIVE_NO_ROOT_DIR;
    return DriveTypeOfMount(*m, IsRemovableDevice(m->DeviceMajor, m->DeviceMinor));
}

bool DirectoryExists(std::string_view path) {
    struct stat st;
    return !path.empty() && ::stat(std::string(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CreateDir(std::string_view path) {
    return !path.empty() && ::mkdir(std::string(path).c_str(), 0777) == 0;
}

bool FileExists(std::string_view path) {
    struct stat st;
    return !path.empty() && ::stat(std::string(path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

TExclusiveCreate CreateFileExclusive(std::string_view path, unsigned mode) {
    TExclusiveCreate r;
    int fd;
    do {
        fd = ::open(std::string(path).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                    static_cast<mode_t>(mode));
    } while (fd < 0 && errno == EINTR);
    if (fd >= 0) {
        r.Handle = fd;
    } else {
        r.Error = errno;
        r.Exists = errno == EEXIST;
    }
    return r;
}

namespace {

// What a failed open meant: opening a socket or a pipe without a writer says only ENXIO.
int OpenErrorOf(const std::string& path, int error) {
    struct stat st {};
    if (error == ENXIO && ::stat(path.c_str(), &st) == 0) {
        if (S_ISSOCK(st.st_mode)) return kErrorIsSocket;
        if (S_ISFIFO(st.st_mode)) return kErrorIsPipe;
    }
    return error;
}

std::string HiddenTempName(std::string_view folder) {
    static thread_local std::mt19937_64 rng{std::random_device{}()};
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string name(folder);
    if (name.empty()) name = ".";
    if (name.back() != '/') name += '/';
    name += ".quillmar-";
    for (int i = 0; i < 6; ++i)
        name += letters[rng() % (sizeof letters - 1)];
    return name + ".tmp";
}

} // namespace

TUnnamedFile CreateUnnamedFile(std::string_view folder, unsigned mode) {
    TUnnamedFile f;
    const std::string dir = folder.empty() ? std::string(".") : std::string(folder);
    f.Folder = dir;
    int fd;
    do {
        fd = ::open(dir.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, static_cast<mode_t>(mode));
    } while (fd < 0 && errno == EINTR);
    if (fd >= 0) {
        f.Handle = fd;
        return f;
    }
    // Only a file system without unnamed files falls back; other errors are the folder's own.
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
        f.Error = errno;
        return f;
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = HiddenTempName(dir);
        fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, static_cast<mode_t>(mode));
        if (fd >= 0) {
            f.Handle = fd;
            f.TempName = std::move(name);
            return f;
        }
        if (errno != EEXIST && errno != EINTR) break;
    }
    f.Error = errno;
    return f;
}

int LinkUnnamedFile(TUnnamedFile& file, std::string_view path) {
    const std::string target(path);
    if (file.TempName.empty()) {
        // linkat fails rather than replacing, so a name taken meanwhile is never lost. The /proc
        // form needs no privilege; the empty-path form works where /proc is not mounted.
        const std::string self = "/proc/self/fd/" + std::to_string(file.Handle);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, target.c_str(), AT_SYMLINK_FOLLOW) == 0) return 0;
        if (errno == EEXIST) return EEXIST;
        const int procError = errno;
        if (::linkat(file.Handle, "", AT_FDCWD, target.c_str(), AT_EMPTY_PATH) == 0) return 0;
        return errno == EEXIST ? EEXIST : procError;
    }
    if (::syscall(SYS_renameat2, AT_FDCWD, file.TempName.c_str(), AT_FDCWD, target.c_str(),
                  RENAME_NOREPLACE) == 0) {
        file.TempName.clear();
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS) return errno;
    // No renameat2 on this file system: link() does not replace either.
    if (::link(file.TempName.c_str(), target.c_str()) != 0) return errno;
    ::unlink(file.TempName.c_str());
    file.TempName.clear();
    return 0;
}

int NameUnnamedFile(TUnnamedFile& file) {
    if (!file.TempName.empty()) return 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = HiddenTempName(file.Folder);
        const int error = LinkUnnamedFile(file, name);
        if (error == 0) {
            file.TempName = std::move(name);
            return 0;
        }
        if (error != EEXIST) return error;
    }
    return EEXIST;
}

void DiscardUnnamedFile(TUnnamedFile& file) {
    if (!file.TempName.empty()) ::unlink(file.TempName.c_str());
    file.TempName.clear();
}

std::string AbsoluteFilePath(std::string_view path, std::string_view cwd) {
    std::string base(cwd);
    if (base.empty()) {
        std::error_code ec;
        base = fs::current_path(ec).string();
    }
    fs::path p =
        !path.empty() && path[0] == '/' ? fs::path(std::string(path)) : fs::path(base) / std::string(path);
    // "." and empty parts are harmless to drop; ".." is left to the kernel.
    fs::path kept;
    bool hasParent = false;
    for (const fs::path& part : p) {
        if (part == "." || part.empty()) continue;
        if (part == "..") hasParent = true;
        kept /= part;
    }
    std::string text = kept.string();
    if (!hasParent) return text;
    const std::string dir = ExtractFilePath(text);
    const std::string name = ExtractFileName(text);
    if (name == "..") {
        char* real = ::realpath(text.c_str(), nullptr);
        if (!real) return text;
        std::string resolved = real;
        std::free(real);
        return resolved;
    }
    char* real = ::realpath(dir.c_str(), nullptr);
    // A folder that cannot be resolved is left as given: opening it fails with its own reason.
    if (!real) return text;
    std::string resolved = real;
    std::free(real);
    if (resolved.back() != '/') resolved += '/';
    return resolved + name;
}

std::string EscapedPathBytes(std::string_view path, bool escapeNonText) {
    static const char digits[] = "0123456789ABCDEF";
    std::string escaped;
    escaped.reserve(path.size());
    for (size_t i = 0; i < path.size();) {
        const auto u = static_cast<unsigned char>(path[i]);
        auto hex = [&](unsigned char b) {
            escaped += "\\x";
            escaped += digits[b >> 4];
            escaped += digits[b & 0xF];
        };
        if (u == '\\') {
            escaped += "\\\\";
        } else if (u == '\t') {
            escaped += "\\t";
        } else if (u == '\n') {
            escaped += "\\n";
        } else if (u == '\r') {
            escaped += "\\r";
        } else if (u < 0x20 || u == 0x7F) {
            hex(u);
        } else if (u < 0x80 || !escapeNonText) {
            escaped += static_cast<char>(u);
        } else {
            // The longest valid UTF-8 sequence that starts here, else the single byte escaped.
            size_t length = u >= 0xF0 ? 4 : u >= 0xE0 ? 3 : u >= 0xC0 ? 2 : 1;
            if (length > 1 && i + length <= path.size() && IsValidUtf8(path.substr(i, length))) {
                escaped.append(path.substr(i, length));
                i += length;
                continue;
            }
            hex(u);
        }
        ++i;
    }
    return escaped;
}

WideString PathToText(std::string_view path) {
    return Utf8ToWide(EscapedPathBytes(path, true));
}

std::string PathFromText(std::u16string_view text) {
    const std::string utf8 = WideToUtf8(text);
    std::string path;
    path.reserve(utf8.size());
    auto hexValue = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    };
    for (size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] != '\\' || i + 1 >= utf8.size()) {
            path += utf8[i];
            continue;
        }
        const char next = utf8[i + 1];
        if (next == '\\' || next == 't' || next == 'n' || next == 'r') {
            path += next == '\\' ? '\\' : next == 't' ? '\t' : next == 'n' ? '\n' : '\r';
            ++i;
        } else if (next == 'x' && i + 3 < utf8.size() && hexValue(utf8[i + 2]) >= 0 &&
                   hexValue(utf8[i + 3]) >= 0) {
            path += static_cast<char>(hexValue(utf8[i + 2]) * 16 + hexValue(utf8[i + 3]));
            i += 3;
        } else {
            path += '\\';
        }
    }
    return path;
}

int OpenRegularFile(std::string_view path, int& error) {
    const int fd = ::open(std::string(path).c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        error = OpenErrorOf(std::string(path), errno);
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        error = errno;
    } else if (S_ISREG(st.st_mode)) {
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags != -1 && ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0) {
            error = 0;
            return fd;
        }
        error = errno;
    } else {
        error = S_ISDIR(st.st_mode)                          ? EISDIR
                : S_ISFIFO(st.st_mode)                       ? kErrorIsPipe
                : S_ISSOCK(st.st_mode)                       ? kErrorIsSocket
                : S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode) ? kErrorIsDevice
                                                             : EINVAL;
    }
    ::close(fd);
    return -1;
}

std::string FileErrorText(int error) {
    switch (error) {
    case kErrorIsPipe:
        return "a pipe, not a regular file";
    case kErrorIsDevice:
        return "a device, not a regular file";
    case kErrorIsSocket:
        return "a socket, not a regular file";
    default:
        return std::strerror(error);
    }
}

std::string ExtractFileDrive(std::string_view path) {
    if (path.empty()) return {};
    std::vector<TMountEntry> storage;
    const TMountEntry* m = FindMount(CurrentMounts(storage), AbsolutePath(path));
    return m ? m->MountPoint : std::string();
}

std::string ExtractFilePath(std::string_view path) {
    size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string ExtractFileName(std::string_view path) {
    size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string ExtractFileBaseName(std::string_view path) {
    std::string name = ExtractFileName(path);
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(0, dot);
}
