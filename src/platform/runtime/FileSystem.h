#pragma once
// File-system services of the platform: drive types, directory and file tests, exclusive creation,
// and the parts of a path. Paths are UTF-8 with "/" separators.
//
// A "drive" on Linux is the mount that holds a path: its mount point is the drive part, and its
// file-system type and device give the drive type (local disks fixed, removable block devices
// removable, network file systems remote, optical media CD-ROM, RAM file systems RAM disk).

#include <string>
#include <string_view>
#include <vector>

// Drive types, with the values callers compare against.
constexpr unsigned DRIVE_UNKNOWN = 0;
constexpr unsigned DRIVE_NO_ROOT_DIR = 1;
constexpr unsigned DRIVE_REMOVABLE = 2;
constexpr unsigned DRIVE_FIXED = 3;
constexpr unsigned DRIVE_REMOTE = 4;
constexpr unsigned DRIVE_CDROM = 5;
constexpr unsigned DRIVE_RAMDISK = 6;

// The drive type of the mount holding the path (a mount point or any path below one; relative paths
// are taken from the current directory). An empty path means the current directory.
// DRIVE_NO_ROOT_DIR when no mount holds it.
unsigned GetDriveType(std::string_view path);

bool DirectoryExists(std::string_view path);
// Creates one directory level; false when it could not be created (also when it already exists).
bool CreateDir(std::string_view path);
// True for anything that exists under that name and is not a directory.
bool FileExists(std::string_view path);

// Result of creating a file that must not exist yet.
struct TExclusiveCreate {
    int Handle = -1;     // an open, writable file descriptor on success; the caller closes it
    bool Exists = false; // the name was taken: nothing was created or changed
    int Error = 0;       // errno of a failure, 0 on success
    bool Ok() const { return Handle >= 0; }
};
// Creates the file only if no file of that name exists; never replaces or truncates one. The new
// file gets the permission bits mode less the process's umask.
TExclusiveCreate CreateFileExclusive(std::string_view path, unsigned mode = 0666);

// What OpenRegularFile reports, beyond errno values, for a name that holds no regular file.
constexpr int kErrorIsPipe = -1;
constexpr int kErrorIsDevice = -2;
constexpr int kErrorIsSocket = -3;

// Opens an existing regular file for reading without ever waiting: a pipe without a writer or a
// device would block the open or never end, so anything else is refused. Returns a descriptor
// (close-on-exec, reads block as usual) that the caller closes, or -1 with error set to errno
// (EISDIR for a folder, EINTR when a signal interrupted the open: it is not retried, so that
// Ctrl-C takes effect at once) or to one of the kError values above.
int OpenRegularFile(std::string_view path, int& error);
// The reason for an error of OpenRegularFile (or any errno) in words.
std::string FileErrorText(int error);

// Path parts. The drive part is the mount point of the mount that holds the path (empty for an empty
// path); the directory part is everything up to and including the last "/"; the file name is
// everything after it; the base name is the file name up to, not including, its last "." and is
// empty when the file name has no "." (so also for ".profile").
std::string ExtractFileDrive(std::string_view path);
std::string ExtractFilePath(std::string_view path);
std::string ExtractFileName(std::string_view path);
std::string ExtractFileBaseName(std::string_view path);

// The mount table as the drive queries read it, exposed so that its reading can be tested.
struct TMountEntry {
    std::string MountPoint;
    std::string FsType;
    std::string Source;       // device or server share
    unsigned DeviceMajor = 0; // of the mounted device, 0 for virtual file systems
    unsigned DeviceMinor = 0;
};
// Reads the text of /proc/self/mountinfo (octal escapes such as "\040" are decoded).
std::vector<TMountEntry> ParseMountInfo(std::string_view text);
// The entry whose mount point holds the absolute path best (the longest; the latest of equals),
// or nullptr.
const TMountEntry* FindMount(const std::vector<TMountEntry>& mounts, std::string_view absolutePath);
// The drive type of a mount; removableDevice tells whether its block device is removable.
unsigned DriveTypeOfMount(const TMountEntry& mount, bool removableDevice);
