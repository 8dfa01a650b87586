#pragma once

#include <QString>
#include <QTemporaryDir>

namespace tarnwick::test {

// A throwaway CUPS scheduler of the test's own (support/print-server), listening only on a socket
// in a temporary folder, with a PDF printer that can be added and taken away. While it runs, the
// process's printing goes to it: libcups reads CUPS_SERVER and CUPS_USER, set here. libcups keeps
// what it read for the rest of the thread, so a test process starts one such server at most.
class TestPrintServer {
public:
    TestPrintServer();
    ~TestPrintServer();
    TestPrintServer(const TestPrintServer&) = delete;
    TestPrintServer& operator=(const TestPrintServer&) = delete;

    // Why there is no server (no root, no cupsd, no PDF printer); empty when it runs.
    const QString& unavailable() const { return unavailable_; }
    const QString& printerName() const { return printer_; }
    // The folder the PDF printer writes its jobs into; it is shared with the machine, so a
    // test removes what it printed there.
    const QString& outbox() const { return outbox_; }

    bool addPrinter();
    bool removePrinter();

private:
    bool run(const QString& action);

    QTemporaryDir dir_;
    QString folder_;
    QString unavailable_;
    QString printer_;
    QString outbox_;
};

} // namespace tarnwick::test
