// TSafeFileStream: the target changes only on Commit, whole, with its permissions kept.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/runtime/Exception.h"
#include "platform/runtime/RuntimeTestSupport.h"
#include "platform/runtime/SafeFileStream.h"

namespace {

std::string Slurp(const std::string& Path) {
    std::ifstream In(Path, std::ios::binary);
    std::ostringstream Out;
    Out << In.rdbuf();
    return Out.str();
}

size_t Entries(const std::string& Folder) {
    size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(Folder))
        ++n;
    return n;
}

TEST(SafeFileStream, ReplacesTargetOnlyOnCommit) {
    TempFolder Dir;
    const std::string Target = Dir.File("out.txt");
    { std::ofstream(Target) << "old"; }
    chmod(Target.c_str(), 0640);

    {
        TSafeFileStream Stream(Target);
        Stream.WriteAnsiString("half");
        EXPECT_EQ(Stream.GetPosition(), 4);
        EXPECT_EQ(Slurp(Target), "old");
    } // dropped without Commit
    EXPECT_EQ(Slurp(Target), "old");
    EXPECT_EQ(Entries(Dir.Path()), 1u);

    {
        TSafeFileStream Stream(Target);
        // More than one buffer's worth, in pieces large and small.
        std::string Big(300 * 1024, 'x');
        Stream.WriteAnsiString("head");
        Stream.WriteAnsiString(Big);
        Stream.WriteAnsiString("tail");
        Stream.Commit();
        EXPECT_THROW(Stream.WriteAnsiString("late"), EWriteError);
        EXPECT_EQ(Slurp(Target), "head" + Big + "tail");
    }
    struct stat St;
    ASSERT_EQ(stat(Target.c_str(), &St), 0);
    EXPECT_EQ(St.st_mode & 0777, 0640u);
    EXPECT_EQ(Entries(Dir.Path()), 1u);
}

TEST(SafeFileStream, CreationFailuresNameTheTarget) {
    TempFolder Dir;
    EXPECT_EQ(MessageOf<EFCreateError>([&] { TSafeFileStream S(Dir.File("none/x.txt")); }),
              "Cannot create file \"" + Dir.File("none/x.txt") + "\". No such file or directory");
    EXPECT_EQ(MessageOf<EFCreateError>([&] { TSafeFileStream S(Dir.Path()); }),
              "Cannot create file \"" + Dir.Path() + "\". Is a directory");
    // A device is written in place.
    TSafeFileStream Null(std::string("/dev/null"));
    Null.WriteAnsiString("gone");
    EXPECT_NO_THROW(Null.Commit());
}

} // namespace
