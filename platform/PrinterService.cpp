#include "platform/PrinterService.h"

#include <QPrinterInfo>

namespace {
PrinterService *g_override = nullptr;
}

PrinterService::~PrinterService() = default;

PrinterService *PrinterService::instance()
{
    static SystemPrinterService real;
    return g_override ? g_override : &real;
}

void PrinterService::setInstance(PrinterService *service)
{
    g_override = service;
}

QStringList SystemPrinterService::printerNames() const
{
    return QPrinterInfo::availablePrinterNames();
}

int SystemPrinterService::defaultIndex() const
{
    const QStringList names = printerNames();
    if (names.isEmpty())
        return -1;
    const int index = names.indexOf(QPrinterInfo::defaultPrinterName());
    return index < 0 ? 0 : index;
}
