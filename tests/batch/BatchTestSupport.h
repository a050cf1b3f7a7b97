#pragma once
// Temporary folders, files and fakes shared by the batch tests.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "app/batch/BatchRun.h"
#include "decoding/MarkedTextEncoder.h"
#include "platform/runtime/CodePage.h"
#include "platform/runtime/FileSystem.h"

namespace batchtest {

inline const std::string kKey = "batch-key-0123";

class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "quillmar-test-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

inline void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary);
    out << content;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline std::vector<std::string> ListFolder(const std::string& path) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(path, ec))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A text scrambled with the test key, and what decoding gives back.
struct Sample {
    std::string encoded;
    std::string decoded;
};

inline Sample MakeSample(const std::string& plain) {
    EncodeResult enc = EncodeMarkedText(plain, PrepareEncriptMatrix(kKey));
    std::string padded = plain;
    padded.resize((plain.size() + 127) / 128 * 128, ' ');
    return {"intro\n" + enc.Text + "\noutro", "intro\n*#" + padded + "#*\noutro"};
}

// A list in memory that lets a test act on every progress write, as a view that shows progress
// would hear of it: the point in a run where a test stops it or looks around.
struct WatchedJobList : MemoryJobList {
    std::function<void(int row)> onProgress;
    void ProgressChanged(int row) override {
        if (onProgress) onProgress(row);
    }
};

struct RecordingReporter : BatchReporter {
    std::vector<std::string> messages;
    void ShowMessage(const std::string& text, const std::string& caption) override {
        messages.push_back(caption + ": " + text);
    }
};

// The real file system, with every drive fixed unless a path says otherwise.
struct TestFileSystem : BatchFileSystem {
    unsigned DriveType(const std::string& path) override {
        if (path.find("/removable/") != std::string::npos) return DRIVE_REMOVABLE;
        if (path.find("/network/") != std::string::npos) return DRIVE_REMOTE;
        return DRIVE_FIXED;
    }
};

inline WideString W(const std::string& utf8) {
    return Utf8ToWide(utf8);
}
inline std::string U(const WideString& wide) {
    return WideToUtf8(wide);
}

} // namespace batchtest
