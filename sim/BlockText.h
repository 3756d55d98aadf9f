#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace tessra::sim {

// "3F AE 5A DC": upper-case, two digits, one blank between bytes.
std::string hexBytes(std::span<const std::uint8_t> bytes);
std::string hexByte(std::uint8_t byte);

// The block's fields by name, in block order: "code page 63, 115200 bps,
// Odd, ...". A field value that names no member reads "<frame>
// unassigned <hex>", for example "Error Sound unassigned 30".
std::string describeBlock(const std::array<std::uint8_t, 4>& block);

}  // namespace tessra::sim
