#pragma once

#include "app/CustomerCodeView.h"
#include "link/PrinterLink.h"

namespace tessra::app {

// Handler of the "Customer Code" frame.
class CustomerCodeFrame {
public:
    CustomerCodeFrame(PrinterLink& link, CustomerCodeView& view);

    // Index 0 reads the code into Text13, 1 writes Text13; others do nothing.
    void Command20_Click(int index);

private:
    void read();
    void write();

    PrinterLink& link_;
    CustomerCodeView& view_;
};

}  // namespace tessra::app
