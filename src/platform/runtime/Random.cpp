#include "platform/runtime/Random.h"

#include <chrono>

int32_t RandSeed = 0;

namespace {
uint32_t NextSeed() {
    uint32_t seed = static_cast<uint32_t>(RandSeed) * 0x08088405u + 1u;
    RandSeed = static_cast<int32_t>(seed);
    return seed;
}
} // namespace

void Randomize() {
    auto ticks = std::chrono::steady_clock::now().time_since_epoch().count() ^
                 std::chrono::system_clock::now().time_since_epoch().count();
    RandSeed = static_cast<int32_t>(static_cast<uint64_t>(ticks) ^ (static_cast<uint64_t>(ticks) >> 32));
}

int32_t Random(int32_t Range) {
    uint32_t seed = NextSeed();
    if (Range <= 0) return 0;
    return static_cast<int32_t>((static_cast<uint64_t>(seed) * static_cast<uint32_t>(Range)) >> 32);
}

double Random() {
    return static_cast<double>(NextSeed()) / 4294967296.0;
}

int32_t RandomRange(int32_t AFrom, int32_t ATo) {
    if (AFrom > ATo) return Random(AFrom - ATo) + ATo;
    return Random(ATo - AFrom) + AFrom;
}
