#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tessra {

// Finds a secret on the wire so that a trace or a traffic log can leave it
// out: the `length` bytes that follow a fixed header, however the writes cut
// them (the MAC save sends its password one byte per write).
class SecretBytes {
public:
    SecretBytes() = default;  // nothing is secret
    SecretBytes(std::span<const std::uint8_t> header, std::size_t length)
        : header_(header.begin(), header.end()), length_(length) {}

    // How many bytes of this write belong to the secret; call it for every
    // write, in order.
    std::size_t count(std::span<const std::uint8_t> bytes) {
        std::size_t secret = 0;
        for (const std::uint8_t b : bytes) {
            if (left_ > 0) {
                --left_;
                ++secret;
                continue;
            }
            if (header_.empty()) continue;
            matched_ = b == header_[matched_] ? matched_ + 1 : (b == header_[0] ? 1 : 0);
            if (matched_ == header_.size()) {
                matched_ = 0;
                left_ = length_;
            }
        }
        return secret;
    }

private:
    std::vector<std::uint8_t> header_;
    std::size_t length_ = 0;
    std::size_t matched_ = 0;
    std::size_t left_ = 0;
};

}  // namespace tessra
