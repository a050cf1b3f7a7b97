// Counts bytes per file so that a file's later reports replace its earlier ones instead of adding up.
#include "app/batch/BatchProgress.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

BatchProgress::BatchProgress(std::vector<uint64_t> sizes, Clock::time_point start)
    : sizes_(std::move(sizes)), counted_(sizes_.size(), 0), done_(sizes_.size(), false), start_(start) {
    for (uint64_t size : sizes_)
        total_ += size;
}

void BatchProgress::SetPercent(size_t index, double percent) {
    if (index >= sizes_.size() || done_[index]) return;
    const double clamped = std::clamp(percent, 0.0, 100.0);
    const auto bytes = static_cast<uint64_t>(static_cast<double>(sizes_[index]) * clamped / 100.0);
    bytesDone_ = bytesDone_ - counted_[index] + bytes;
    counted_[index] = bytes;
}

void BatchProgress::FileDone(size_t index) {
    if (index >= sizes_.size() || done_[index]) return;
    bytesDone_ = bytesDone_ - counted_[index] + sizes_[index];
    counted_[index] = sizes_[index];
    done_[index] = true;
    ++filesDone_;
}

bool BatchProgress::RedrawDue(Clock::time_point now) {
    if (drawn_ && now - lastDraw_ < kRedrawInterval) return false;
    drawn_ = true;
    lastDraw_ = now;
    return true;
}

std::string BatchProgress::Size(double n) {
    static const char* const units[] = {"B", "KiB", "MiB", "GiB", "TiB"};
    int unit = 0;
    while (n >= 1024 && unit < 4) {
        n /= 1024;
        ++unit;
    }
    char text[32];
    if (unit == 0)
        std::snprintf(text, sizeof text, "%.0f B", n);
    else
        std::snprintf(text, sizeof text, "%.1f %s", n, units[unit]);
    return text;
}

std::string BatchProgress::Line(Clock::time_point now) const {
    const double seconds = std::chrono::duration<double>(now - start_).count();
    const double rate = seconds > 0 ? static_cast<double>(bytesDone_) / seconds : 0;
    std::string left = "--:--";
    if (rate > 0) {
        const auto remaining =
            static_cast<long long>(std::ceil(static_cast<double>(total_ - bytesDone_) / rate));
        char text[32];
        std::snprintf(text, sizeof text, "%lld:%02lld", remaining / 60, remaining % 60);
        left = text;
    }
    return std::to_string(filesDone_) + "/" + std::to_string(sizes_.size()) + " files, " +
           Size(static_cast<double>(bytesDone_)) + " of " + Size(static_cast<double>(total_)) + ", " +
           Size(rate) + "/s, " + left + " left";
}
