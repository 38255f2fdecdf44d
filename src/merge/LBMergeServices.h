#pragma once

// The merge layer's share of a document window: the records the sheets are filled with
// and the output commands (printer calibration, the envelope feed sheet, export, import,
// online printing, one copy). One per window, made through MergeServices' factory.
//
// Records: the document's imported text records when it has them, else one record (a
// design without contact fields prints as one record); records have no unique ids and
// give no pictures. The contact merge grows these answers.

#include "window/MergeServices.h"

#include <QObject>
#include <QPointer>
#include <QVariantList>

#include <optional>

class LBEnvelopeFeedSheet;
class LBExportPanel;
class LBPrintCalibrationController;
class LBPrintOnlineController;
class LBDocument;

class LBMergeServices : public QObject, public MergeServices
{
    Q_OBJECT
public:
    explicit LBMergeServices(LBWindowController& window);
    ~LBMergeServices() override;

    LBWindowController& window() const { return _window; }

    // --- Records ---
    qint64 numSelectedPeople() override;
    QString contactUIDForIndex(qint64 index, const QString& currentUID) override;
    std::shared_ptr<platform::Image> substituteImageForGraphic(const LBGraphic& graphic,
                                                               qint64 fromContact) override;
    bool checkRecordsForOutput() override;

    // --- Printer calibration ---
    // Keeps a copy of "Printer Calibration Array" (unless a test print is reopening the
    // sheet) and opens the sheet on the remembered printer.
    void openPrinterCalibrationSheet() override;
    // Remembers the printer, sets the calibration-page flag and prints with the panel.
    void printCalibrationSheet(qint64 printerIndex) override;
    // After a calibration test print: the sheet again, on the same printer.
    void printOpDidRun() override;
    void savePrinterCalibration() override;
    // Writes back the array as the sheet first found it.
    void cancelPrinterCalibration() override;
    LBPrintCalibrationController* calibrationController() const;
    qint64 selectedPrinterIndex() const { return _selectedPrinterIndex; }

    // --- Envelope feed ---
    void openEnvelopeFeedSheet() override;
    LBEnvelopeFeedSheet* envelopeFeedSheet() const;

    // --- Export and import ---
    void exportAction() override;
    QByteArray exportDataForResolution(qint64 resolution, qint64 formatType, qint64 tiffCompression,
                                       double jpgQuality, bool fullSheet, QString* error) override;
    // Writes the data through a save file: all or nothing; false and the reason.
    static bool writeExportFile(const QString& path, const QByteArray& data, QString* error);
    LBExportPanel* exportPanel() const;
    // Layouts exported whole only (envelopes, pages, letterhead, discs).
    bool exportsFullSheetOnly() const;
    void importAction() override;
    // Places the picture files on the selected design canvas at the default place.
    void importFiles(const QStringList& paths);

    // --- Online printing, one copy, templates ---
    void printOnline() override;
    void doneOnlinePrinting() override;
    LBPrintOnlineController* printOnlineController() const;
    void printOneCopy() override;
    void saveAsTemplateAction() {}
    void myTemplateNameSheetAction() {}

private:
    LBDocument* document() const;

    LBWindowController& _window;
    QPointer<LBPrintCalibrationController> _calibrationController;
    std::optional<QVariantList> _keptCalibrationArray;
    qint64 _selectedPrinterIndex = 0;
    QPointer<LBEnvelopeFeedSheet> _envelopeSheet;
    QPointer<LBExportPanel> _exportPanel;
    QPointer<LBPrintOnlineController> _printOnlineController;
};
