#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "platform/runtime/FileSystem.h"

namespace {

struct TempDir {
    std::string path;
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "quillmar-fs-XXXXXX").string();
        path = ::mkdtemp(pattern.data());
    }
    ~TempDir() { std::filesystem::remove_all(path); }
};

const char kMountInfo[] = "21 26 0:20 / /proc rw,relatime - proc proc rw\n"
                          "26 1 254:0 / / rw,relatime shared:1 - ext4 /dev/vda rw\n"
                          "27 26 0:24 / /tmp rw - tmpfs tmpfs rw\n"
                          "28 26 8:17 / /media/usb\\040stick rw - vfat /dev/sdb1 rw\n"
                          "29 26 0:40 / /net/share rw shared:5 master:2 - nfs4 server:/export rw\n"
                          "30 26 11:0 / /media/cdrom ro - iso9660 /dev/sr0 ro\n"
                          "31 26 0:41 / /mnt/home rw - cifs //server/home rw\n"
                          "32 26 254:1 / /mnt/data rw - xfs /dev/vdb rw\n"
                          "33 26 0:42 / /mnt/data rw - tmpfs tmpfs rw\n"
                          "broken line\n";

} // namespace

TEST(MountTable, ReadsFieldsAndEscapes) {
    const auto mounts = ParseMountInfo(kMountInfo);
    ASSERT_EQ(mounts.size(), 9u);
    EXPECT_EQ(mounts[1].MountPoint, "/");
    EXPECT_EQ(mounts[1].FsType, "ext4");
    EXPECT_EQ(mounts[1].DeviceMajor, 254u);
    EXPECT_EQ(mounts[3].MountPoint, "/media/usb stick");
    EXPECT_EQ(mounts[3].Source, "/dev/sdb1");
    EXPECT_EQ(mounts[4].FsType, "nfs4"); // optional fields before the separator are skipped
}

TEST(MountTable, LongestMountPointHoldsThePath) {
    const auto mounts = ParseMountInfo(kMountInfo);
    EXPECT_EQ(FindMount(mounts, "/home/u/a.txt")->MountPoint, "/");
    EXPECT_EQ(FindMount(mounts, "/tmp")->MountPoint, "/tmp");
    EXPECT_EQ(FindMount(mounts, "/tmpfiles/a")->MountPoint, "/"); // a prefix is not a parent
    EXPECT_EQ(FindMount(mounts, "/media/usb stick/x.txt")->MountPoint, "/media/usb stick");
    // A later mount on the same point covers the earlier one.
    EXPECT_EQ(FindMount(mounts, "/mnt/data/f")->FsType, "tmpfs");
    EXPECT_EQ(FindMount({}, "/x"), nullptr);
}

TEST(MountTable, DriveTypesOfFileSystems) {
    const auto mounts = ParseMountInfo(kMountInfo);
    const auto type = [&](const char* path, bool removable = false) {
        return DriveTypeOfMount(*FindMount(mounts, path), removable);
    };
    EXPECT_EQ(type("/home"), DRIVE_FIXED);
    EXPECT_EQ(type("/tmp/x"), DRIVE_RAMDISK);
    EXPECT_EQ(type("/media/usb stick/a", true), DRIVE_REMOVABLE);
    EXPECT_EQ(type("/net/share/a"), DRIVE_REMOTE);
    EXPECT_EQ(type("/mnt/home/a"), DRIVE_REMOTE);
    EXPECT_EQ(type("/media/cdrom/a"), DRIVE_CDROM);
    EXPECT_EQ(type("/proc/1"), DRIVE_UNKNOWN);
}

TEST(FileSystem, DriveOfRealPaths) {
    // The root file system holds at least the root; /proc is never a disk.
    EXPECT_EQ(ExtractFileDrive("/proc/self/status"), "/proc");
    EXPECT_EQ(GetDriveType("/proc/self"), DRIVE_UNKNOWN);
    EXPECT_EQ(ExtractFileDrive(""), "");
    const std::string cwdDrive = ExtractFileDrive(std::filesystem::current_path().string());
    EXPECT_FALSE(cwdDrive.empty());
    // A file that does not exist yet lies on the drive of its folder.
    EXPECT_EQ(ExtractFileDrive(std::filesystem::current_path().string() + "/not/there.txt"), cwdDrive);
    EXPECT_EQ(GetDriveType("relative-name.txt"), GetDriveType(std::filesystem::current_path().string()));
}

TEST(FileSystem, DirectoriesAndFiles) {
    TempDir t;
    const std::string sub = t.path + "/sub";
    EXPECT_FALSE(DirectoryExists(sub));
    EXPECT_TRUE(CreateDir(sub));
    EXPECT_TRUE(DirectoryExists(sub));
    EXPECT_FALSE(CreateDir(sub));             // already there
    EXPECT_FALSE(CreateDir(t.path + "/a/b")); // one level only
    EXPECT_FALSE(DirectoryExists(t.path + "/a"));
    EXPECT_FALSE(FileExists(sub)); // a folder is not a file
    std::ofstream(t.path + "/f.txt") << "x";
    EXPECT_TRUE(FileExists(t.path + "/f.txt"));
    EXPECT_FALSE(DirectoryExists(t.path + "/f.txt"));
    EXPECT_FALSE(FileExists(""));
}

TEST(FileSystem, ExclusiveCreateNeverReplaces) {
    TempDir t;
    const std::string f = t.path + "/out.txt";
    TExclusiveCreate c = CreateFileExclusive(f);
    ASSERT_TRUE(c.Ok());
    EXPECT_EQ(::write(c.Handle, "new", 3), 3);
    ::close(c.Handle);
    TExclusiveCreate again = CreateFileExclusive(f);
    EXPECT_FALSE(again.Ok());
    EXPECT_TRUE(again.Exists);
    std::ifstream in(f);
    std::string content;
    in >> content;
    EXPECT_EQ(content, "new");
    TExclusiveCreate missing = CreateFileExclusive(t.path + "/no/dir.txt");
    EXPECT_FALSE(missing.Ok());
    EXPECT_FALSE(missing.Exists);
    EXPECT_EQ(missing.Error, ENOENT);
}

TEST(FileSystem, PathParts) {
    EXPECT_EQ(ExtractFilePath("/data/in/a.txt"), "/data/in/");
    EXPECT_EQ(ExtractFilePath("a.txt"), "");
    EXPECT_EQ(ExtractFileName("/data/in/a.txt"), "a.txt");
    EXPECT_EQ(ExtractFileName("/data/in/"), "");
    EXPECT_EQ(ExtractFileBaseName("/data/in/a.b.txt"), "a.b");
    EXPECT_EQ(ExtractFileBaseName("/data/in/noext"), "");
    EXPECT_EQ(ExtractFileBaseName("/data/in/.profile"), "");
    EXPECT_EQ(ExtractFileBaseName("/data/in.d/file"), ""); // a period in the folder does not count
}
