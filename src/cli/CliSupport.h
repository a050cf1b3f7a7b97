#pragma once
// Pieces of quillmar-cli: options, the key, and the two commands.

#include <optional>
#include <string>
#include <vector>

namespace cli {

constexpr int kExitOk = 0;
constexpr int kExitSomeFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitInterrupted = 130;

extern const char* const kProgram;

struct Options {
    std::string command;                  // "decode" or "encode"
    std::optional<std::string> keyFile;   // "-" is standard input
    std::optional<std::string> outputDir; // decode
    std::optional<std::string> output;    // encode
    bool nullTerminated = false;          // decode: paths end in NUL and are printed as they are
    std::optional<std::string> filesFrom; // decode: a list of paths; "-" is standard input
    bool nullInput = false;               // decode: the list's paths are NUL-separated
    int jobs = 0;                         // decode: files decoded at once; 0: one per core
    std::optional<bool> progress;         // decode: forced on or off; else on when stderr is a terminal
    std::vector<std::string> files;
};

// Prints "quillmar-cli: <text>" on standard error.
void Complain(const std::string& text);

// The key bytes: from the key file's first line (ended by LF, CR or CR LF, at most 4096 bytes read),
// else QUILLMAR_KEY, else a prompt without echo on the terminal. A UTF-8 byte order mark is dropped.
// Valid UTF-8 becomes the 8-bit code page as a typed key does; other bytes are kept as they are.
// Nothing when no key could be had (the reason has been printed): also for a key in UTF-16, a first
// line that is too long, or characters the code page cannot hold.
std::optional<std::string> ReadKey(const Options& options);

// A decoded path as decode prints it on its own line: a backslash is doubled, and tab, LF and CR
// become \t, \n and \r and other control bytes \xHH, so that every line is exactly one path.
std::string EscapedPath(const std::string& path);

// Appends the paths listed in the file ("-" is standard input): one a line, or NUL-separated.
// Every other byte is part of a name; empty entries are skipped. False, with the reason printed,
// when the list cannot be read.
bool ReadFileList(const std::string& path, bool nulSeparated, std::vector<std::string>& files);

int Decode(const Options& options);
int Encode(const Options& options);

} // namespace cli
