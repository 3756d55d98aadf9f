#pragma once

#include <string>
#include <string_view>

namespace tessra::app {

// The "Customer Code" frame as its handler sees it.
class CustomerCodeView {
public:
    virtual ~CustomerCodeView() = default;
    virtual std::string customerCodeText() const = 0;  // Text13
    virtual void setCustomerCodeText(std::string_view text) = 0;
    // Enables Text13 and Command20_1 ("Customer Code Write").
    virtual void enableCustomerCodeWrite() = 0;
};

}  // namespace tessra::app
