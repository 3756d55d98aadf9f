#pragma once

#include "app/CustomerCodeView.h"
#include "printer/LinkPrinter.h"

namespace tessra::app {

// Handler of the "Customer Code" frame.
class CustomerCodeFrame {
public:
    CustomerCodeFrame(printer::LinkPrinter& printer, CustomerCodeView& view);

    // Index 0 reads the code into Text13, 1 writes Text13; others do nothing.
    void Command20_Click(int index);

private:
    void read();
    void write();

    printer::LinkPrinter& printer_;
    CustomerCodeView& view_;
};

}  // namespace tessra::app
