#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace tessra::fuzz {

// Stops the run at a broken invariant; libFuzzer then keeps the input that
// broke it as its reproducer.
inline void check(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

// What a message may show: no control byte, and no flood.
inline bool fitForTerminal(std::string_view text, std::size_t limit) {
    if (text.size() > limit) return false;
    for (const char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
    return true;
}

}  // namespace tessra::fuzz
