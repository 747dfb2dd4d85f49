#pragma once

#include "platform/shell/service.h"

#include <memory>

class QPrinter;

namespace lentaro {

// Makes the printer a Print command prints on.
class PrinterMaker
{
public:
    virtual ~PrinterMaker() = default;

    virtual std::unique_ptr<QPrinter> makePrinter() = 0;
};

// The system's default printer at its full resolution unless replaced (tests print to a file).
extern Service<PrinterMaker> printerMaker;

} // namespace lentaro
