#pragma once

// The merge, print and export share of a document window: the records of the merge and
// the window's output commands. The window controller forwards to one per window, made by
// the factory the merge layer installs (app registers it); without one the window has one
// record, no pictures by record and no output commands.

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

class LBGraphic;
class LBWindowController;

namespace platform {
class Image;
}

class MergeServices
{
public:
    using Factory = std::function<std::unique_ptr<MergeServices>(LBWindowController& window)>;
    static void setFactory(Factory factory);
    // nullptr without a factory.
    static std::unique_ptr<MergeServices> make(LBWindowController& window);

    virtual ~MergeServices() = default;

    // --- Records ---
    // How many records the sheets are filled with.
    virtual qint64 numSelectedPeople() = 0;
    // The unique id of record i; null when the records have none.
    virtual QString contactUIDForIndex(qint64 index, const QString& currentUID) = 0;
    // The picture record i gives the picture graphic (a contact's picture, a barcode of
    // the record's text); nullptr when none.
    virtual std::shared_ptr<platform::Image> substituteImageForGraphic(const LBGraphic& graphic,
                                                                       qint64 fromContact) = 0;
    // Whether there are records to put on sheets; alerts on the window when not.
    virtual bool checkRecordsForOutput() = 0;

    // --- Output commands ---
    virtual void openPrinterCalibrationSheet() = 0;
    virtual void printCalibrationSheet(qint64 printerIndex) = 0;
    virtual void printOpDidRun() = 0;
    virtual void savePrinterCalibration() = 0;
    virtual void cancelPrinterCalibration() = 0;
    virtual void openEnvelopeFeedSheet() = 0;
    virtual void exportAction() = 0;
    // The exported data: format 0 PDF, 1 TIFF, 2 JPEG, 3 PNG; empty, with the reason in
    // *error, when it could not be made.
    virtual QByteArray exportDataForResolution(qint64 resolution, qint64 formatType,
                                               qint64 tiffCompression, double jpgQuality,
                                               bool fullSheet, QString* error) = 0;
    virtual void importAction() = 0;
    virtual void printOnline() = 0;
    virtual void doneOnlinePrinting() = 0;
    virtual void printOneCopy() = 0;
};
