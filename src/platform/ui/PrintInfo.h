#pragma once

// Print settings: the paper (its name and size in points), the orientation and the
// printer. A value type; each document keeps its own copy, and documents store it
// archived (Archive). The shared settings are the ones new documents start from: the
// default printer's paper, or Letter (612 x 792 points, portrait) when there is no
// printer. Tests set the shared settings to pin them.
//
// The paper's size is the sheet as it feeds into the printer, whatever the orientation:
// a landscape page on Letter paper has paper 612 x 792 and orientation Landscape.

#include <QSizeF>
#include <QString>

#include <functional>

namespace platform {

class PrintInfo
{
public:
    enum Orientation { Portrait, Landscape };

    // Letter, portrait, no printer.
    PrintInfo();

    // The paper's name ("Letter", "A4", ...).
    QString paperName() const { return _paperName; }
    void setPaperName(const QString& name) { _paperName = name; }
    // The paper's size in points, as it feeds.
    QSizeF paperSize() const { return _paperSize; }
    void setPaperSize(const QSizeF& size) { _paperSize = size; }
    // Sets the paper by its size, named after the standard paper of exactly that size
    // ("Letter", "A4", ...) or, for any other size, a custom name of its size.
    void setPaperBySize(const QSizeF& size);
    Orientation orientation() const { return _orientation; }
    void setOrientation(Orientation orientation) { _orientation = orientation; }
    // The printer's name; empty for the default printer.
    QString printerName() const { return _printerName; }
    void setPrinterName(const QString& name) { _printerName = name; }
    // What the job does with its pages: sends them to the printer, or saves them as a
    // PDF file at jobSavingPath(). Settings of one job, not stored with a document.
    enum JobDisposition { Spool, Save };
    JobDisposition jobDisposition() const { return _jobDisposition; }
    void setJobDisposition(JobDisposition disposition) { _jobDisposition = disposition; }
    QString jobSavingPath() const { return _jobSavingPath; }
    void setJobSavingPath(const QString& path) { _jobSavingPath = path; }
    // The resolution the job prints at, dots per inch; 0 leaves the printer's own.
    int resolution() const { return _resolution; }
    void setResolution(int dpi) { _resolution = dpi; }

    bool operator==(const PrintInfo& other) const = default;

    // The shared settings, read from the default printer on first use. While the query
    // started below has no answer yet, the paper the default printer had at its last
    // answer (kept in the user's settings), if there is one: a slow print server does not
    // hold up a new document (answered then says false). Once answered, the answer, kept
    // for the next start.
    static PrintInfo sharedPrintInfo(bool* answered = nullptr);
    static void setSharedPrintInfo(const PrintInfo& printInfo);
    // Forgets the shared settings and the query, as a new start would (tests).
    static void forgetSharedPrintInfo();
    // What asking the default printer does; none restores the print system's (tests put
    // a slow print server in its place).
    static void setDefaultPrinterQuery(std::function<PrintInfo()> query);
    // Starts reading the default printer on a thread of its own, so the print system
    // (its plug-in, its libraries, a round trip to the print server) is asked while the
    // program starts instead of holding up the first document; sharedPrintInfo() then
    // waits for that answer when it has no earlier one. Once the application exists;
    // again does nothing.
    static void queryDefaultPrinterInBackground();
    // The same for a start whose first window does not need the answer: when an earlier
    // start kept the default printer's answer, documents take that one and the printer is
    // asked only at startDeferredDefaultPrinterQuery() (once that window is on the screen),
    // so the print system loads beside nothing the user waits for. With no kept answer it
    // asks at once.
    static void queryDefaultPrinterSoon();
    static void startDeferredDefaultPrinterQuery();
    // Waits for that query: the print system's plug-in is not to be asked from two
    // threads at once, so whatever asks it (printing, the list of printers) waits first,
    // and so does the end of the program, before the application takes the plug-in down.
    // A deferred query is asked then, so that it never runs beside such a use.
    static void waitForDefaultPrinterQuery();

private:
    QString _paperName;
    QSizeF _paperSize;
    Orientation _orientation = Portrait;
    QString _printerName;
    JobDisposition _jobDisposition = Spool;
    QString _jobSavingPath;
    int _resolution = 0;
};

} // namespace platform
