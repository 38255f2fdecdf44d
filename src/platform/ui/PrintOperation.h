#pragma once

// Printing a view: the print panel (optional, window-modal over the document's window),
// then the view's pages one after the other, each drawn into the printer through the
// current graphics context and handed to the printer before the next is drawn. Pages
// are in points: the printer's device is scaled so one unit is one point, and the page
// is the paper of the print settings, turned by their orientation, with no margins.
//
// A print settings job disposition of Save writes the pages as a PDF file at the
// settings' saving path instead of sending them to a printer (a QPrinter given an unknown
// printer name would silently do the same: the saving path is set explicitly).

#include "platform/ui/PrintInfo.h"

#include <QRectF>
#include <QString>

#include <functional>

class QPrinter;
class QWidget;

namespace platform {

// What a printed view answers: the pagination hooks of a print operation.
class PrintableView
{
public:
    virtual ~PrintableView() = default;
    // The pages the view prints, 1-based from *first, *count of them; false when the view
    // does not know (nothing is printed). The printer the job goes to is given by name.
    virtual bool knowsPageRange(const QString& printerName, qint64* first, qint64* count) = 0;
    // The area of page k in the view's coordinates; the view makes k its page to draw.
    virtual QRectF rectForPage(qint64 page) = 0;
    // Draws the area of the page made current into the current graphics context.
    virtual void drawPage(const QRectF& rect) = 0;
    // After a page went to the printer: what the view made for it alone can go.
    virtual void endPage() {}
};

class PrintOperation
{
public:
    enum class Result { Printed, Cancelled, Failed };

    PrintOperation(PrintableView& view, const PrintInfo& printInfo);
    ~PrintOperation();
    PrintOperation(const PrintOperation&) = delete;
    PrintOperation& operator=(const PrintOperation&) = delete;

    void setShowsPrintPanel(bool shows) { _showsPrintPanel = shows; }
    // The window the print panel is modal over; none makes it application-modal.
    void setWindow(QWidget* window) { _window = window; }

    // Runs the job: the panel when asked (Cancelled when the user cancels it), then every
    // page of the range the view states, limited to what the panel chose. Failed, with
    // errorString(), when the printer or the file cannot be written.
    Result run();
    QString errorString() const { return _errorString; }
    // The settings as the panel left them (printer, paper, orientation).
    const PrintInfo& printInfo() const { return _printInfo; }

    // Tests answer the panel in place of the user: the handler gets the printer the panel
    // would show and returns whether to print. An empty handler shows the real panel.
    using PanelHandler = std::function<bool(QPrinter& printer)>;
    static void setPanelHandler(PanelHandler handler);

private:
    bool setUpPrinter(QPrinter& printer);

    PrintableView& _view;
    PrintInfo _printInfo;
    bool _showsPrintPanel = true;
    QWidget* _window = nullptr;
    QString _errorString;
};

} // namespace platform
