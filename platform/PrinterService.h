#pragma once

#include <QStringList>

// The list of installed printers. Without a print server the system reports none,
// so tests install a list of their own to see both the "no printer" and the
// "a printer" states.
class PrinterService
{
public:
    virtual ~PrinterService();
    virtual QStringList printerNames() const = 0;
    // Index of the default printer in printerNames(), -1 when there is none.
    virtual int defaultIndex() const = 0;

    static PrinterService *instance();
    // Installs a replacement (tests); nullptr restores the system's list. Not owned.
    static void setInstance(PrinterService *service);
};

// The printers the print system knows.
class SystemPrinterService : public PrinterService
{
public:
    QStringList printerNames() const override;
    int defaultIndex() const override;
};

// A fixed list of printer names: the first one is the default.
class FixedPrinterService : public PrinterService
{
public:
    explicit FixedPrinterService(QStringList names = {}) : m_names(std::move(names)) {}
    QStringList printerNames() const override { return m_names; }
    int defaultIndex() const override { return m_names.isEmpty() ? -1 : 0; }
    void setNames(const QStringList &names) { m_names = names; }

private:
    QStringList m_names;
};
