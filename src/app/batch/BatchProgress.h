#pragma once
// The progress of a batch as a whole: files done of all, bytes done of all, rate and time left, and a
// throttle that lets a line be redrawn at most ten times a second. Time is passed in, so a test can
// drive it without waiting.

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

class BatchProgress {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr Clock::duration kRedrawInterval = std::chrono::milliseconds(100);

    // One entry per file of the batch, its size in bytes; start is when the batch began.
    BatchProgress(std::vector<uint64_t> sizes, Clock::time_point start);

    // The file at index has come this far (percent of its size, 0 to 100).
    void SetPercent(size_t index, double percent);
    // The file at index is done, decoded or failed: all its bytes count as done.
    void FileDone(size_t index);

    int FilesDone() const { return filesDone_; }
    int Files() const { return static_cast<int>(sizes_.size()); }
    uint64_t BytesDone() const { return bytesDone_; }
    uint64_t Bytes() const { return total_; }

    // True, and the time noted as the last redraw, when nothing was drawn yet or at least
    // kRedrawInterval has passed since the last redraw; false otherwise.
    bool RedrawDue(Clock::time_point now);

    // "F/N files, D of T, R/s, M:SS left": sizes in B, KiB, MiB or GiB with one decimal; the rate
    // is bytes done over the time since start; the time left is "--:--" until a rate is known.
    std::string Line(Clock::time_point now) const;

    // n bytes as "512 B", "1.5 KiB", "12.0 MiB", "3.2 GiB".
    static std::string Size(double n);

private:
    std::vector<uint64_t> sizes_;
    std::vector<uint64_t> counted_; // bytes of each file counted as done so far
    std::vector<bool> done_;
    uint64_t total_ = 0;
    uint64_t bytesDone_ = 0;
    int filesDone_ = 0;
    Clock::time_point start_;
    Clock::time_point lastDraw_;
    bool drawn_ = false;
};
