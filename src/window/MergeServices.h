#pragma once

// The merge, print and export share of a document window: the records of the merge and
// the window's output commands. The window controller forwards to one per window, made by
// the factory the merge layer installs (app registers it); without one the window has one
// record, no pictures by record and no output commands.

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class LBGraphic;
class LBTextArea;
class LBWindowController;

namespace platform {
class AttributedString;
class Image;
} // namespace platform

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

    // --- Contacts and merge fields (answered by the merge; a window without it has no
    // contacts and shows the field names) ---
    // What the design's text asks of the records.
    struct ContactFieldScan
    {
        bool deliveryAddress = false;
        bool returnAddress = false;
        bool otherContactField = false;
        bool activityField = false;
    };
    virtual ContactFieldScan scanGraphicsForContactFields() { return {}; }
    // Sets up the contact columns as the window loads (the store read, its tables made).
    virtual void setUpContacts() {}
    // Shows the people whose cards hold every word of the text (the toolbar's search).
    virtual void processContactSearchStr(const QString& text) { Q_UNUSED(text); }
    // Shows the contact columns when the mode and the design need them.
    virtual void showOrHideColumnsAsNecessary(qint64 mode) { Q_UNUSED(mode); }
    // A date in the date format 0..28, a time in the time format 0..4 (empty for other
    // indexes); the name of phone format 0..13 (null above).
    virtual QString dateStringForDate(const QDateTime& date, qint64 formatIndex) const
    {
        Q_UNUSED(date);
        Q_UNUSED(formatIndex);
        return QString(QLatin1String(""));
    }
    virtual QString timeStringForDate(const QDateTime& date, qint64 formatIndex) const
    {
        Q_UNUSED(date);
        Q_UNUSED(formatIndex);
        return QString(QLatin1String(""));
    }
    virtual QString phoneFormatStringAtIndex(qint64 index) const
    {
        Q_UNUSED(index);
        return QString();
    }
    // The pre-formatted address block of that name, and a text box holding it.
    virtual std::optional<platform::AttributedString>
    preformattedAddressStringForFieldStr(const QString& fieldStr, bool isMyField);
    virtual std::shared_ptr<LBTextArea> textObjForPreformattedFieldStr(const QString& fieldStr)
    {
        Q_UNUSED(fieldStr);
        return nullptr;
    }
    // Imports records from a text file (comma or tab separated) and clears them.
    virtual void importText(bool commaSeparated) { Q_UNUSED(commaSeparated); }
    virtual void clearImportText() {}

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
