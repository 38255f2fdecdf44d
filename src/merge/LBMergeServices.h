#pragma once

// The merge layer's share of a document window: the records the sheets are filled with
// and the output commands (printer calibration, the envelope feed sheet, export, import,
// online printing, one copy). One per window, made through MergeServices' factory.
//
// Records: the document's imported text records when it has them, else the selected
// contacts when the design has contact fields, else one record (a design without contact
// fields prints as one record).
//
// Merge-field values: a field run's name is looked up in the four field lists
// (LBProcessState::fieldsList) and resolved by its kind for a record (an index into the
// selected people, -1 for the user's own card). Resolvers never fail: anything missing
// gives a null text ("no value"), which the renderer treats as empty.

#include "window/MergeServices.h"

#include "merge/BarcodePictureCache.h"
#include "platform/core/ContactStore.h"
#include "platform/core/NotificationCenter.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QVariantList>
#include <QVariantMap>

#include <functional>
#include <optional>
#include <vector>

class LBEnvelopeFeedSheet;
class LBExportPanel;
class LBPrintCalibrationController;
class LBPrintOnlineController;
class LBDocument;
class LBTextArea;

namespace platform {
class AttributedString;
}

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

    // --- Contacts (LBMergeServices+Contacts.cpp) ---
    // The store the people come from: the one set, else the shared store (nullptr when
    // the contacts folder cannot be read).
    platform::ContactStore* contactStore() const;
    void setContactStore(platform::ContactStore* store) { _contactStore = store; }
    // The merge records in order (the model of the contact columns fills it).
    const QList<platform::ContactPersonPtr>& selectedPeople() const { return _selectedPeople; }
    void setSelectedPeople(const QList<platform::ContactPersonPtr>& people);
    // The card "My Person ID" names; cached until mePersonChanged().
    platform::ContactPersonPtr mePerson();
    void mePersonChanged();
    // The contact of a record: -1 the own card, else the selected person at the index;
    // nullptr past the end.
    platform::ContactPersonPtr contactAtIndex(qint64 index);
    // Whether the card shows as a company: its flags, or no first and last name but a
    // company.
    static bool isCompanyCard(const platform::ContactPerson& person);
    // Which merge fields the design's text and barcodes hold.
    ContactFieldScan scanGraphicsForContactFields() override;

    // --- The contact columns' model (LBMergeServices+Contacts.cpp) ---
    // Rows: the groups column has "All" and then every group sorted by name; the people
    // column the subgroups of the selected group and then its people matching the search,
    // in the people order of "Contact Sort Field". Any change of group, search, order or
    // people selection rebuilds the selected people.
    enum class RowIcon { AllGroups, Group, Person, Organization, SelfPerson };
    // Both keep the people selected, found again by who they are.
    void readAddressBook();
    void handleSortOrderChange(); // the people order changed in the preferences
    const QList<platform::ContactGroupPtr>& groupArray() const { return _groupArray; }
    const QList<platform::ContactGroupPtr>& subgroupArray() const { return _subgroupArray; }
    const QList<platform::ContactPersonPtr>& personArray() const { return _personArray; }
    qint64 meIndex() const { return _meIndex; }
    qint64 numberOfGroupRows() const { return _groupArray.size() + 1; }
    qint64 numberOfPeopleRows() const { return _subgroupArray.size() + _personArray.size(); }
    QString groupRowText(qint64 row) const;
    QString peopleRowText(qint64 row) const;
    RowIcon groupRowIcon(qint64 row) const;
    RowIcon peopleRowIcon(qint64 row) const;
    // The selected group row (-1 none) and people rows; selecting runs the selection
    // change as the tables do.
    qint64 selectedGroupRow() const { return _selectedGroupRow; }
    const QList<qint64>& selectedPeopleRows() const { return _selectedPeopleRows; }
    void selectGroupRow(qint64 row);
    void selectPeopleRows(const QList<qint64>& rows);
    void processContactSearchStr(const QString& text) override;
    const QString& searchStr() const { return _searchStr; }
    // People of the store whose values hold every word of the text (split at spaces,
    // empty words skipped), kept to the source when one is given; the source itself for
    // empty text.
    QList<platform::ContactPersonPtr>
    recordsMatchingSearchStr(const QString& text,
                             const std::optional<QList<platform::ContactPersonPtr>>& inSourceArray);
    // The elements of the shorter list (the second on a tie) the other holds, in order.
    static QList<platform::ContactPersonPtr>
    unionArray(const QList<platform::ContactPersonPtr>& array,
               const QList<platform::ContactPersonPtr>& withArray);
    // The people in the order of the sort field (0 last, 1 first, 2 company, 3 ZIP).
    static void sortPeople(QList<platform::ContactPersonPtr>& people, qint64 sortField);
    // The name the people column shows.
    static QString displayName(const platform::ContactPerson& person, bool firstNameFirst,
                               qint64 sortField);
    void buildSelectedPeopleArray();
    // "1 person selected" / "%ld people selected".
    QString selectedCountText() const;
    // Shows the columns and the search item in preview when the design has contact
    // fields; hides them otherwise.
    void showOrHideColumnsAsNecessary(qint64 mode) override;
    // Reads the store (or tells why it cannot) and makes the tables in the window.
    void setUpContacts() override;
    // Opens the contacts folder in the file manager.
    void launchAddressBookAction();
    // Called after every change of the people selection (the tables refresh with it).
    std::function<void()> selectionDidChange;

    // --- Field lists and field dictionaries (LBMergeServices+Fields.cpp) ---
    // The first definition of the list's groups whose "fieldName" equals the name,
    // ignoring case.
    static std::optional<QVariantMap> fieldForFieldName(const QString& name,
                                                        const QVariantList& searchArray);
    // The four lists in order; *isMyField tells whether a my-field list found it.
    static std::optional<QVariantMap> fieldForFieldName(const QString& name, bool* isMyField);
    static QString propertyNameForFieldStr(const QString& name);
    // A new field dictionary for a run of that name (always a dictionary).
    static QVariantMap fieldAttributeForFieldString(const QString& name);
    // One merge-field run of the list group's child; std::nullopt when there is none.
    static std::optional<platform::AttributedString>
    fieldStringAtIndex(qint64 index, const QString& inGroup, const QVariantList& inArray);

    // --- Values (LBMergeServices+Fields.cpp); a null text is no value ---
    QString stringForStandardField(const QVariantMap& field, qint64 fromContact);
    QString stringForCustomField(const QVariantMap& field, qint64 fromContact);
    QString stringForDateField(const QVariantMap& field, const QVariantMap& fieldAttribute,
                               qint64 fromContact);
    QString stringForMultiDateField(const QVariantMap& field, const QVariantMap& fieldAttribute,
                                    qint64 fromContact);
    QString stringForTimeField(const QVariantMap& field, const QVariantMap& fieldAttribute,
                               qint64 fromContact);
    QString stringForPhoneField(const QVariantMap& field, const QVariantMap& fieldAttribute,
                                qint64 fromContact);
    // The most digits a counter is padded to, whatever its field asks: the padding is made
    // for every label.
    static constexpr qint64 maximumCounterDigits = 32;
    static QString stringForCounterField(const QVariantMap& field,
                                         const QVariantMap& fieldAttribute, qint64 currentIndex,
                                         qint64 totalCount);
    QString stringForImportField(const QVariantMap& field, qint64 recordIndex);
    // The column (from 0) an import field reads: n - 1 of its "kLBImport<n>Field" property
    // (n from 1 to 20), else the first.
    static qint64 importColumnForField(const QVariantMap& field);
    // A record's text in that column of the imported text; empty outside it.
    QString stringForImportColumn(qint64 column, qint64 recordIndex);
    std::optional<platform::AttributedString>
    fieldStringForIdentityField(const QVariantMap& field, const QVariantMap& fieldAttribute,
                                qint64 fromContact, qint64 addressIndexOverride);
    std::shared_ptr<platform::Image> imageForField(const QVariantMap& field, qint64 fromContact);
    // Formats for the field menus and the resolvers: date formats 0-28, time formats 0-4
    // (empty text for others), phone patterns 1-13 of "Phone Formats" (null for others).
    QString dateStringForDate(const QDateTime& date, qint64 formatIndex) const override;
    QString timeStringForDate(const QDateTime& date, qint64 formatIndex) const override;
    QString phoneFormatStringAtIndex(qint64 index) const override;
    // The digits of a raw number filled into a pattern (7, 10 or 11 digits whose first is
    // 1); the raw text for any other count.
    static QString formatPhoneNumber(const QString& raw, const QString& pattern);
    // What "now" is for date and time fields (tests fix it).
    static void setCurrentDateForTesting(const std::optional<QDateTime>& date);

    // --- Addresses (LBMergeServices+Addresses.cpp) ---
    // The contact's address chosen by the field's selection as lines joined by "\r";
    // null when none.
    QString fullAddressStringForField(const QVariantMap& field, qint64 fromPerson);
    // The address laid out by its country code ("Print Country" and the default country
    // code decide the country line); null when it has no text.
    static QString addressStringByTable(const platform::ContactAddress& address,
                                        qint64 printCountry, const QString& defaultCountryCode);
    // The block kind of a name (1-10; 0 for any other name).
    static qint64 preformattedBlockKind(const QString& fieldStr);
    // The block of merge-field runs and plain text (the sender's fields when isMyField).
    std::optional<platform::AttributedString>
    preformattedAddressStringForFieldStr(const QString& fieldStr, bool isMyField) override;
    // A new address text box holding the block, sized to the label; a return address
    // for a name beginning with "My", else a delivery address.
    std::shared_ptr<LBTextArea> textObjForPreformattedFieldStr(const QString& fieldStr) override;

    // --- Imported text records (LBMergeServices+Import.cpp) ---
    // Asks for a file (a sheet on the window) and imports it.
    void importText(bool commaSeparated) override;
    // Reads the file, asks whether to import its records and stores them in the document
    // (marking it changed); a file that is empty, not text or unreadable is named in an
    // alert and changes nothing. True when the records were stored.
    bool importTextFile(const QString& path, bool commaSeparated);
    // Removes the records (marking the document changed when there were some).
    void clearImportText() override;
    // Locks the window's text before the records change; unlocked text holding labels'
    // own texts asks first. False when the user cancels.
    bool lockTextForRecords();

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
    // Says, at most once a day, why the contacts folder cannot be read.
    void alertWhenContactsCannotBeRead();
    // The value of a definition read from the contact (before formatting); *label gets
    // the label of the chosen value of a multi-value.
    std::optional<QVariant> standardValue(const QVariantMap& field, qint64 fromContact,
                                          QString* label);

    LBWindowController& _window;
    QPointer<LBPrintCalibrationController> _calibrationController;
    std::optional<QVariantList> _keptCalibrationArray;
    qint64 _selectedPrinterIndex = 0;
    QPointer<LBEnvelopeFeedSheet> _envelopeSheet;
    QPointer<LBExportPanel> _exportPanel;
    // The sheets of the job the last picture of the full sheet held (its first) and did not.
    qint64 _sheetsOfLastPicture = 0;
    QPointer<LBPrintOnlineController> _printOnlineController;

    void groupSelectionChanged();
    struct KeptSelection;
    KeptSelection keptSelection() const;
    // The group and people of the selection kept, in the lists as they are now.
    void selectAgain(const KeptSelection& kept);
    void refreshPreviewForRecords();
    void selectionChanged();

    platform::ContactStore* _contactStore = nullptr;
    BarcodePictureCache _barcodePictures;
    QList<platform::ContactGroupPtr> _groupArray;
    QList<platform::ContactGroupPtr> _subgroupArray;
    QList<platform::ContactPersonPtr> _personArray;
    QString _searchStr;
    qint64 _meIndex = -1;
    qint64 _selectedGroupRow = 0;
    QList<qint64> _selectedPeopleRows;
    std::vector<platform::ObserverToken> _contactObservers;
    QPointer<QObject> _contactColumns;
    QList<platform::ContactPersonPtr> _selectedPeople;
    std::optional<platform::ContactPersonPtr> _mePerson;
};
