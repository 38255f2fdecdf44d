#pragma once

// The print-online sheet: save the design as PDF for an online printing service (the
// export panel follows), open the service's page, or done. The service's address is the
// "Miscellaneous" entry "Online Print Address"; without one the page button is disabled.

#include <QDialog>
#include <QObject>
#include <QPointer>

class QPushButton;
class QWidget;
class MergeServices;

class LBPrintOnlineController : public QObject
{
    Q_OBJECT
public:
    explicit LBPrintOnlineController(QObject* parent = nullptr);
    ~LBPrintOnlineController() override;

    void beginSheetForWindowController(MergeServices* services, QWidget* window);
    void saveAsPDFAction();
    void openOnlinePrintPageAction();
    void doneAction();

    static QString onlinePrintAddress();
    QDialog* sheetWindow() const { return _sheetWindow; }
    QPushButton* onlinePageButton() const { return _onlinePageButton; }

private:
    QPointer<QDialog> _sheetWindow;
    QPushButton* _onlinePageButton = nullptr;
    MergeServices* _windowController = nullptr;
};
