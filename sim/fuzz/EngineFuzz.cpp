// libFuzzer target: whatever arrives, the engine never crashes and still
// answers the utility's settings read once the line has gone quiet.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "sim/Engine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using tessra::sim::Engine;
    if (size == 0) return 0;
    Engine engine;
    // The first byte cuts the rest into pieces, as writes and reads would.
    const std::size_t piece = 1 + data[0] % 16;
    const std::span<const std::uint8_t> input(data + 1, size - 1);
    for (std::size_t at = 0; at < input.size(); at += piece) {
        const auto chunk = input.subspan(at, std::min(piece, input.size() - at));
        const int speed = (chunk[0] & 0xF0) == 0xF0 ? 4800 : engine.speed();
        engine.feed(chunk, speed);
        if (chunk[0] == 0xEE) engine.flush();
    }
    engine.flush();
    static constexpr std::uint8_t kRead[] = {0x1B, 0x40, 0x00, 0x01, 0x39, 0x36, 0x02, 0x30};
    const auto out = engine.feed(kRead, engine.speed());
    const auto& block = engine.state().block;
    if (out.reply.size() != 4 || !std::equal(block.begin(), block.end(), out.reply.begin())) {
        std::abort();
    }
    return 0;
}
