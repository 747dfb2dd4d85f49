#include "platform/forms/printermaker.h"

#include <QPrinter>

namespace lentaro {

namespace {

class DefaultPrinterMaker : public PrinterMaker
{
public:
    std::unique_ptr<QPrinter> makePrinter() override
    {
        return std::make_unique<QPrinter>(QPrinter::HighResolution);
    }
};

} // namespace

Service<PrinterMaker> printerMaker{madeAtFirstUse<DefaultPrinterMaker>};

} // namespace lentaro
