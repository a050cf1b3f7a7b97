#pragma once
// Sources, sinks and the literal byte-at-a-time decoder shared by the decoding tests.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "decoding/MarkedTextDecoder.h"

namespace decodingtest {

struct StringSource : ByteSource {
    std::string data;
    size_t at = 0;
    size_t maxPiece;
    explicit StringSource(std::string d, size_t piece = SIZE_MAX) : data(std::move(d)), maxPiece(piece) {}
    size_t Read(uint8_t* buffer, size_t capacity) override {
        const size_t n = std::min({capacity, maxPiece, data.size() - at});
        std::memcpy(buffer, data.data() + at, n);
        at += n;
        return n;
    }
};

struct StringSink : ByteSink {
    std::string data;
    void Write(const uint8_t* p, size_t n) override { data.append(reinterpret_cast<const char*>(p), n); }
};

struct RecordingProgress : ProgressSink {
    std::vector<double> reports;
    void Report(double percent) override { reports.push_back(percent); }
};

struct NoProgress : ProgressSink {
    void Report(double) override {}
    void ReportBytes(uint64_t, uint64_t, uint64_t) override {}
};

// One block decoded position by position, as plainly as the rule reads.
inline void LiteralDecodeBlock(const uint8_t* block, const EncriptMatrix& matrix, uint8_t* decoded) {
    for (int i = 0; i < 128; ++i) {
        const int b = block[matrix.Positions[i]];
        const int shifted = b - matrix.Shifts[i];
        decoded[i] = static_cast<uint8_t>(shifted >= 32 ? shifted : b);
    }
}

// The byte-at-a-time state machine exactly as the format describes it, to check the fast decoder.
inline std::string ReferenceDecode(const std::string& src, const EncriptMatrix& matrix) {
    std::string out;
    bool inBlock = false;
    size_t pos = 0;
    uint64_t count = 0;
    uint8_t prev = 0;
    uint8_t pending[128];
    std::memset(pending, ' ', 128);
    auto flush = [&] {
        if (pending[0] == ' ') return;
        uint8_t d[128];
        LiteralDecodeBlock(pending, matrix, d);
        out.append(reinterpret_cast<char*>(d), 128);
        std::memset(pending, ' ', 128);
    };
    for (char raw : src) {
        uint8_t ch = static_cast<uint8_t>(raw);
        if (ch == 0x21)
            ch = 0x60;
        else if (ch == 0x22)
            ch = 0x7E;
        if (!inBlock) out += static_cast<char>(ch);
        if (count > 0) {
            if (!inBlock) {
                if (prev == '*' && ch == '#') {
                    pos = 0;
                    inBlock = true;
                }
            } else if (prev == '#' && ch == '*') {
                if (pos >= 1) pending[pos - 1] = ' ';
                flush();
                pending[0] = ch;
                out += "#*";
                pos = 1;
                inBlock = false;
            } else if (pos < 128) {
                pending[pos++] = ch;
            } else {
                flush();
                pending[0] = ch;
                pos = 1;
            }
        }
        ++count;
        prev = ch;
    }
    return out;
}

} // namespace decodingtest
