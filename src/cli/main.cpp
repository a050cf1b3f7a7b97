// quillmar-cli: the batch run of the desktop program, for scripts.
#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>

#include "cli/CliSupport.h"

#ifndef QUILLMAR_VERSION
#define QUILLMAR_VERSION "0"
#endif

namespace cli {

const char* const kProgram = "quillmar-cli";

void Complain(const std::string& text) {
    std::fflush(stdout);
    std::fprintf(stderr, "%s: %s\n", kProgram, text.c_str());
}

} // namespace cli

namespace {

const char kHelp[] = "Usage: quillmar-cli decode [--output-dir DIR] [--key-file FILE] [-z] [--jobs N]\n"
                     "                           [--files-from LIST [-0]] [--progress | --no-progress]\n"
                     "                           [FILE...]\n"
                     "       quillmar-cli encode [--output FILE] [--key-file FILE] SOURCE\n"
                     "       quillmar-cli --help | --version\n"
                     "\n"
                     "decode  Restores the marked regions (\"*#\" ... \"#*\") of each FILE into a new file\n"
                     "        NAME(decN).txt with the first free N, in a folder \"Decript\" beside the file\n"
                     "        or in DIR, and prints each decoded file's path, one a line, in the order\n"
                     "        given; in a path a backslash is doubled and tab, LF, CR and other\n"
                     "        control bytes are written \\t, \\n, \\r and \\xHH.\n"
                     "        Without --output-dir every FILE must be on a fixed disk.\n"
                     "encode  Scrambles SOURCE into one marked region, padded with spaces to a multiple of\n"
                     "        128 bytes, and writes it to FILE or standard output (for samples and tests).\n"
                     "\n"
                     "decode options:\n"
                     "  --output-dir DIR     write the decoded files into the existing folder DIR\n"
                     "  -z, --null           print each path as it is, ended by a NUL byte\n"
                     "  --files-from LIST    also decode the paths in LIST (\"-\" is standard input),\n"
                     "                       one a line, after the FILEs on the command line\n"
                     "  -0, --null-input     the paths in LIST end in NUL bytes (find -print0)\n"
                     "  --jobs N             decode N files at once (default: one per core)\n"
                     "  --progress           show the batch's progress on standard error\n"
                     "  --no-progress        never show it (default: shown when standard error is a\n"
                     "                       terminal)\n"
                     "options of both:\n"
                     "  --key-file FILE      the key is the first line of FILE (\"-\" is standard input)\n"
                     "  --output FILE        encode: write to FILE instead of standard output\n"
                     "  -h, --help           print this help\n"
                     "  --version            print the version\n"
                     "\n"
                     "The key is the first line of --key-file FILE, else the environment variable\n"
                     "QUILLMAR_KEY, else it is asked for on the terminal. It is never taken from the\n"
                     "command line, where other users could read it. Only its first ten characters,\n"
                     "after blanks around it are removed, count.\n"
                     "\n"
                     "Exit status: 0 all done, 1 some file failed (the others were done), 2 nothing\n"
                     "done (usage, key or drive check), 130 interrupted by Ctrl-C, SIGHUP or SIGTERM\n"
                     "(the files in progress are removed; a copy takes its name only when complete).\n";

constexpr int kMaxJobs = 1024;

// A worker count from 1 to kMaxJobs; 0 for anything else.
int ParseJobs(const std::string& text) {
    if (text.empty() || text.size() > 4 || text.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    const int n = std::stoi(text);
    return n <= kMaxJobs ? n : 0;
}

int Usage(const std::string& problem) {
    cli::Complain(problem);
    std::fprintf(stderr, "Try '%s --help' for more information.\n", cli::kProgram);
    return cli::kExitUsage;
}

} // namespace

int main(int argc, char** argv) {
    cli::Options options;
    std::optional<std::string> jobs;
    bool optionsDone = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (!optionsDone && (arg == "--help" || arg == "-h")) {
            std::fputs(kHelp, stdout);
            return cli::kExitOk;
        }
        if (!optionsDone && arg == "--version") {
            std::printf("%s %s\n", cli::kProgram, QUILLMAR_VERSION);
            return cli::kExitOk;
        }
        if (options.command.empty()) {
            if (arg != "decode" && arg != "encode")
                return Usage(arg.rfind("-", 0) == 0 ? "unknown option " + arg
                                                    : "unknown command '" + arg + "'");
            options.command = arg;
            continue;
        }
        if (!optionsDone && arg == "--") {
            optionsDone = true;
            continue;
        }
        if (!optionsDone && arg.size() > 1 && arg[0] == '-') {
            std::string name = arg, value;
            const size_t eq = arg.find('=');
            const bool inlineValue = eq != std::string::npos;
            if (inlineValue) {
                name = arg.substr(0, eq);
                value = arg.substr(eq + 1);
            }
            const bool decode = options.command == "decode";
            if ((arg == "-z" || arg == "--null") && decode) {
                options.nullTerminated = true;
                continue;
            }
            if ((arg == "-0" || arg == "--null-input") && decode) {
                options.nullInput = true;
                continue;
            }
            if ((arg == "--progress" || arg == "--no-progress") && decode) {
                options.progress = arg == "--progress";
                continue;
            }
            std::optional<std::string>* target = nullptr;
            if (name == "--key-file")
                target = &options.keyFile;
            else if (name == "--output-dir" && decode)
                target = &options.outputDir;
            else if (name == "--files-from" && decode)
                target = &options.filesFrom;
            else if (name == "--jobs" && decode)
                target = &jobs;
            else if (name == "--output" && options.command == "encode")
                target = &options.output;
            else if (name == "--key" || name == "-k")
                return Usage(
                    "the key is not taken from the command line; use --key-file FILE or QUILLMAR_KEY");
            else
                return Usage("unknown option " + name + " for " + options.command);
            if (!inlineValue) {
                if (i + 1 >= argc) return Usage(name + " needs a value");
                value = argv[++i];
            }
            *target = value;
            continue;
        }
        options.files.push_back(arg);
    }
    if (options.command.empty()) return Usage("missing command: decode or encode");
    if (jobs) {
        options.jobs = ParseJobs(*jobs);
        if (options.jobs == 0)
            return Usage("--jobs needs a whole number from 1 to " + std::to_string(kMaxJobs) + ", not '" +
                         *jobs + "'");
    }
    if (options.filesFrom == "-" && options.keyFile == "-")
        return Usage("standard input cannot give both the key and the file list");
    try {
        return options.command == "decode" ? cli::Decode(options) : cli::Encode(options);
    } catch (const std::exception& e) {
        cli::Complain(std::string("unexpected failure: ") + e.what());
        return cli::kExitSomeFailed;
    }
}
