#pragma once
// File-system services of the platform: drive types, directory and file tests, exclusive creation,
// unnamed files that take their name only when complete, and the parts of a path. Paths are the
// bytes the file system takes, with "/" separators; they are text only where they are shown.
//
// A "drive" on Linux is the mount that holds a path: its mount point is the drive part, and its
// file-system type and device give the drive type (local disks fixed, removable block devices
// removable, network file systems remote, optical media CD-ROM, RAM file systems RAM disk).

#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/Types.h"

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

// A new file in a folder that has no name yet: a crash, a kill or a full disk before it is linked
// leaves nothing under any name the user looks for. Where the file system has no unnamed files
// (O_TMPFILE), it is a hidden ".quillmar-XXXXXX.tmp" file in the same folder, removed when discarded.
struct TUnnamedFile {
    int Handle = -1;      // open for writing; the caller closes it after Link or Discard
    std::string TempName; // the hidden name, empty for a truly unnamed file
    std::string Folder;   // where it was created
    int Error = 0;        // errno of a failed creation
    bool Ok() const { return Handle >= 0; }
};
// Creates the file with the permission bits mode less the umask.
TUnnamedFile CreateUnnamedFile(std::string_view folder, unsigned mode = 0666);
// Gives the file the name path (in the same file system), never replacing anything: 0 on success,
// EEXIST when the name is taken (nothing changed, the file can be linked under another name), or
// another errno. Call it while the handle is open.
int LinkUnnamedFile(TUnnamedFile& file, std::string_view path);
// Gives the file a hidden ".quillmar-XXXXXX.tmp" name in its folder (TempName), for a caller that
// then renames it over a file it means to replace; 0 or errno. A file that has a name keeps it.
int NameUnnamedFile(TUnnamedFile& file);
// Removes the hidden name of a file that was not linked; the handle stays the caller's.
void DiscardUnnamedFile(TUnnamedFile& file);

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

// A path as the user gave it, made absolute against cwd (the current directory when empty), with
// "." parts and repeated "/" dropped. ".." is resolved by the kernel, which follows symbolic links:
// "lnk/../a.txt" is the "a.txt" beside the link's target, as opening the path itself would find it.
std::string AbsoluteFilePath(std::string_view path, std::string_view cwd = {});

// A path's bytes as text for lists and messages, and back, without loss: valid UTF-8 shows as it
// is, a backslash as "\\", tab, LF and CR as "\t", "\n", "\r", and every other control byte and
// every byte that is not valid UTF-8 as "\xHH". PathFromText(PathToText(p)) == p for every p, and
// different paths give different texts. PathFromText takes any other backslash literally.
WideString PathToText(std::string_view path);
// The escaping of PathToText on the bytes; with escapeNonText false, bytes that are not valid
// UTF-8 stay as they are (for a terminal, where they do no harm).
std::string EscapedPathBytes(std::string_view path, bool escapeNonText);
std::string PathFromText(std::u16string_view text);

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
