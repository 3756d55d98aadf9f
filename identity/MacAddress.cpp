#include "identity/MacAddress.h"

namespace tessra::identity {

MacStep advanceMac(MacOctets address) {
    MacStep step{address, false, false, false, true};
    if (address.mac6 < 0xFF) {
        ++step.next.mac6;
        return step;
    }
    step.next.mac6 = 0;
    step.rewrite5 = true;
    if (address.mac5 < 0xFF) {
        ++step.next.mac5;
        return step;
    }
    step.next.mac5 = 0;
    if (address.mac4 == kMaxFourthOctet || address.mac4 == 0xFF) return {address, true};
    ++step.next.mac4;
    step.rewrite4 = true;
    return step;
}

std::string octetText(std::uint8_t octet) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    if (octet >= 0x10) text += kDigits[octet >> 4];
    text += kDigits[octet & 0x0F];
    return text;
}

}  // namespace tessra::identity
