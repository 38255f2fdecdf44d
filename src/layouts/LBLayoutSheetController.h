#pragma once

// The layout chooser: the window-modal sheet in which the user picks what a document is
// printed on, as a wizard of four steps for a new document (0 project type, 1 sheet list,
// 2 design templates, 3 custom size) or opened at the sheet list or the custom size to
// change an open document's layout. It ends by handing a layout dictionary and a project
// description to its window (LayoutSheetHost).
//
// The decisions (the catalogue and its filters, the stock lists, the table rows, the
// search, the steps and the sheet sizes, the custom layouts menu) are members that work
// without widgets; the widgets (LBLayoutSheetController+Views.cpp) only show the state and
// pass the user's actions on. One file a concern:
//   LBLayoutSheetController.cpp              making, the open choosers, release
//   LBLayoutSheetController+Paper.cpp        lengths, paper sizes, layout and description readers
//   LBLayoutSheetController+Catalogue.cpp    the label and disc catalogues, filters, conversion
//   LBLayoutSheetController+Browsing.cpp     project types, stock lists, pop-ups, table, search
//   LBLayoutSheetController+Steps.cpp        the steps, sheet sizes, split view, custom layouts
//   LBLayoutSheetController+HandOff.cpp      restoring, handing off, prompts, closing, opening
//   LBLayoutSheetController+Views.cpp        the widgets

#include <QImage>
#include <QLineF>
#include <QList>
#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

#include <memory>
#include <optional>

class LayoutSheetHost;
class LayoutSheetViews;
class LBLayoutItem;
namespace platform {
class BezierPath;
struct Shadow;
} // namespace platform
class LBPaperSizeController;
class LBTemplateObject;
class QDialog;
class QWidget;

class LBLayoutSheetController : public QObject
{
    Q_OBJECT
public:
    // Project types, as stored in a project description's "ProjectType".
    enum ProjectType : qint64 {
        EnvelopesProject = 0,
        LetterheadProject = 1,
        FaxCoversProject = 2,
        InvoicesProject = 3,
        ContactListsProject = 4,
        MatchedSetsProject = 5,
        DiscLabelsProject = 6,
        ActivityReportsProject = 7,
        AddressLabelsProject = 500,
        AllBrotherProject = 514,
    };
    // The wizard's steps.
    enum Step : qint64 {
        ProjectTypeStep = 0,
        FormatStep = 1,
        TemplateStep = 2,
        CustomSizeStep = 3
    };

    // Points per unit of the length texts.
    static constexpr double PointsPerMillimeter = 2.83464567;
    static constexpr double PointsPerCentimeter = 28.3464567;
    static constexpr double PointsPerInch = 72.0;

    // ==== Lengths, paper sizes and the two records (LBLayoutSheetController+Paper.cpp) ====

    // The length a text states, in points: the number the text starts with (read as the
    // stored-number readers do; none reads 0) times the unit of its ending: "mm", "cm",
    // "in", "inch" or "inches"; a text with none of these endings is in units of
    // defaultMultiplier points. "210mm" is 595.2755907, "8.5in" 612, "7" with 1.0 is 7.
    static double convertStringToPoints(const QString& string, double defaultMultiplier);
    // The size in points of a paper named as the print settings and the catalogue name
    // papers ("Letter", "A4", ...), or of a name "<width>x<height><unit>" with the unit
    // "cm", "mm" or "in" ("210x297mm"); (0, 0) for any other name.
    static QSizeF pixelDimensionsForPaperName(const QString& name);
    // The sheet size in points of a layout: its page size, else the size of its paper's
    // name, else its label size (a label printer's roll). Lengths may be numbers or texts
    // with a unit; a label size that is neither sounds the beep and gives (0, 0).
    static QSizeF pixelDimensionsForPaper(const QVariantMap& layout);

    // The cell of a grid layout in row and column (both from 0), in points from the page's
    // top-left corner.
    static QRectF cellRect(const QVariantMap& layout, qint64 row, qint64 column);
    // A per-label record, either form: one of the four lengths ("x" or `leftMargin`, "y"
    // or `topMargin`, "width" or `labelWidth`, "height" or `labelHeight`; either name asks
    // for both, the short one first). The first present wins, even at 0; neither, or any
    // other key, gives 0.
    static double labelDimension(const QString& key, const QVariantMap& label);
    // Where the label lies: its position and size; a label with a hole is its outer
    // diameter both ways.
    static QRectF labelRect(const QVariantMap& label);
    static double labelOuterDiameter(const QVariantMap& label);
    static double labelInnerDiameter(const QVariantMap& label);
    // The label's fold lines ("x1", "y1", "x2", "y2" of each entry of `foldLines`).
    static QList<QLineF> labelFoldLines(const QVariantMap& label);
    // The project type a project description names: "ProjectType", else the type of its
    // "ProjectTypeName" (projectTypeForName), else 0.
    static qint64 projectTypeOfDescription(const QVariantMap& description);

    // ==== Project types (LBLayoutSheetController+Browsing.cpp) ===========================

    // The "Layout Sheet" name of a project type; empty for types without one (5 included).
    static QString projectNameForType(qint64 type);
    // The type whose name is the text; 0 when none.
    static qint64 projectTypeForName(const QString& name);
    // The text of a key of the chooser's string table "Layout Sheet".
    static QString layoutSheetString(const QString& key);
    static QString dialogString(const QString& key);
    // 1, 2, 3, 4 and 7.
    static bool isPageType(qint64 type);
    // Label kinds whose layout lies across: 1, 3, 5, 7, 9, 11, 13, 17.
    static bool isHorizontalLabelType(qint64 labelType);

    // ==== The catalogue (LBLayoutSheetController+Catalogue.cpp) ==========================

    // One sheet of a list: its record, and what the filters and the search compare, read
    // from it once: its maker, its label type (or the types of its labels, for a disc
    // sheet), and its code and models case-folded.
    struct Card
    {
        // The record as a map, made when asked: the catalogue's thousands of sheets keep
        // their entries in plain lists (a map a sheet cost a node an entry, made on every
        // load and freed on the next), and only a chosen sheet's record is ever read.
        QVariantMap record() const;
        // The entries of a record given whole (cardWithRecord), one a key, in no particular
        // order.
        QList<std::pair<QString, QVariant>> entries;
        // A parsed sheet's entries, one a key, in no particular order: fieldCount fields
        // from firstField in the store its parse shares among its sheets. Keys and texts are
        // numbers in the store's texts (the thousands of sheets share a few thousand texts),
        // and a card makes no value of its own until its record is asked for. The models are
        // a list of texts in textLists; any other value that is not one text (fold lines) is
        // one of values.
        struct Field
        {
            enum Kind : quint8 { Text, TextList, Other };
            Kind kind;
            quint32 key;
            // The text; for a list, where it starts in textLists (its length, then its
            // texts); for any other value, its place in values.
            quint32 value;
        };
        struct Store
        {
            QStringList texts;
            QList<Field> fields;
            QList<quint32> textLists;
            QVariantList values;
        };
        std::shared_ptr<const Store> store;
        qsizetype firstField = 0;
        qsizetype fieldCount = 0;
        QString maker;
        QString labelType;
        QStringList labelTypes;
        QString foldedCode;
        QString foldedModels; // one a line
    };
    static Card cardWithRecord(const QVariantMap& record);

    // The catalogue resource of that name ("Labels", "DiscLabels") as {"XMLData": bytes};
    // empty when there is none.
    static QVariantMap catalogueResource(const QString& name);
    // The folder resources are read from (":/catalogue/" unless a test gives another).
    static void setCatalogueFolder(const QString& folder);
    // The key a catalogue element's text is stored under: the two spellings of a field
    // give one key; other elements keep their name.
    static QString keyForPaperElementName(const QString& name);
    // Parses the label catalogue (project type 500) or the disc catalogue (6) into
    // paperFormats() and manufacturers(). A missing resource leaves the lists as they
    // were; broken XML keeps the sheets read before the fault. False and a log line for
    // either.
    bool parseAddressLabelsFile();
    bool parseDiscLabelsFile();
    // The same on catalogue bytes, for the project type's handling.
    bool parseCatalogue(const QByteArray& xml, qint64 projectType);
    // Why the last parse failed, with its place; empty after a success.
    QString catalogueError() const { return _catalogueError; }
    const QList<Card>& paperFormats() const { return _paperFormatsArray; }
    // "All", "-" and the makers of the kept sheets in order of first appearance.
    const QStringList& manufacturers() const { return _manufacturersArray; }

    // Rebuilds the card list of the maker (or "All") and the label-type pop-up.
    void filterByManufacturer(const QString& manufacturer);
    // Rebuilds the card list of the label type (or "All") and selects its first sheet.
    void filterByLabelType(const QString& labelType);

    // The record in points: lengths converted (bare numbers in inches on "Letter",
    // "Letter1", "Letter2" and "Tabloid" pages, else millimetres), margins and counts
    // filled in, labels and their fold lines converted alike.
    static QVariantMap convertDimensionsToPoints(const QVariantMap& record,
                                                 bool swapSignDimensions = false);
    // For the disc project: one record per physical label (see the source); other
    // projects: the record itself.
    QVariantMap expandDiscLabelsInDictionary(const QVariantMap& record) const;
    static QVariantMap expandDiscLabels(const QVariantMap& record);
    // The 36 disc label type codes in their order.
    static const QStringList& discLabelTypes();
    // The shown name of a disc label type code; "All" for an unknown code.
    static QString englishNameForDiscLabelType(const QString& code);
    // The code of a shown name; the "All" text when no name matches.
    static QString discLabelTypeForEnglishName(const QString& name);

    // ==== Stocks, pop-ups, table, search (LBLayoutSheetController+Browsing.cpp) ==========

    // A pop-up's items ("-" is a separator, which counts as an item) and its selection.
    struct PopUp
    {
        QStringList items;
        qint64 selected = 0;
        QString selectedTitle() const;
        bool isSeparator(qint64 index) const;
    };

    // A stock list entry: one maker's cards.
    struct ManufacturerEntry
    {
        QString name;
        QList<Card> cards;
    };

    // The folder of the stock lists, ending in "/" (":/Card Stocks/" unless set).
    static QString cardStockPath();
    static void setCardStockPath(const QString& path);

    void selectProjectType(qint64 type);
    void buildManufacturerArrays(const QString& path);
    void populateManufacturerPopupMenu();
    void manufacturerAction();
    void labelTypeAction();
    void selectManufacturerAtIndex(qint64 index);
    void selectDiscManufacturerAtIndex(qint64 index);
    void formatUnitsTypeAction();
    void templateUnitsTypeAction();
    void orientationButtonAction(bool portraitButton);
    void updatePaperStyleBox(qint64 previousRow);
    // The card shown in a row of the table; nullopt for a separator or past the end.
    std::optional<QVariantMap> cardDictionaryAtIndex(qint64 row) const;
    qint64 numberOfRows() const;
    QString rowText(qint64 row) const;
    bool shouldSelectRow(qint64 row) const;
    void selectRow(qint64 row); // -1 deselects; runs tableViewSelectionDidChange()
    void tableViewSelectionDidChange();
    qint64 selectedRow() const { return _selectedRow; }
    // The selected card's models joined by ", "; empty when none.
    QString selectedPrinterModels() const;
    void searchPaperCode(const QString& text);
    QString searchText() const { return _searchText; }
    // Where the preview's controls go for an image of that size.
    struct PreviewPlacement
    {
        QSizeF previewSize;
    };
    static QSizeF previewBoxSize(const QSizeF& imageSize);
    // A shadow under the stock preview on the current drawing context, and its end.
    void startShadow();
    void stopShadow();

    const PopUp& manufacturerPopup() const { return _manufacturerPopup; }
    const PopUp& labelTypePopup() const { return _labelTypePopup; }
    void setManufacturerPopupSelection(qint64 index) { _manufacturerPopup.selected = index; }
    void setLabelTypePopupSelection(qint64 index) { _labelTypePopup.selected = index; }
    const QList<Card>& cardArray() const { return _cardArray; }
    bool hasCardArray() const { return _hasCardArray; }
    const QList<ManufacturerEntry>& usManufacturers() const { return _usManufacturersArray; }
    const QList<ManufacturerEntry>& a4Manufacturers() const { return _a4ManufacturersArray; }
    qint64 formatUnitsColumn() const { return _formatUnitsColumn; }
    void setFormatUnitsColumn(qint64 column) { _formatUnitsColumn = column; }
    qint64 templateUnitsColumn() const { return _templateUnitsColumn; }
    void setTemplateUnitsColumn(qint64 column) { _templateUnitsColumn = column; }
    // The template step's units (US or A4 paper) and page orientation, offered for the
    // page types outside matched sets.
    bool showsTemplateUnits() const;
    void pageOrientationAction(qint64 column);
    bool landscapeOrientationSelected() const { return _landscapeOrientationSelected; }
    void setLandscapeOrientationSelected(bool landscape)
    {
        _landscapeOrientationSelected = landscape;
    }
    QString selectedManufacturerName() const { return _selectedManufacturerName; }
    QString selectedCardStockName() const { return _selectedCardStockName; }
    bool continueEnabled() const { return _continueEnabled; }

    // ==== Preview images (LBLayoutSheetController+Previews.cpp) ===========================

    // The miniature of a layout in points: a label sheet (project type 500) with its grid
    // of labels, or a page project's page with its cells outlined and masked (an envelope
    // alone). Upright whatever the orientation, which turns only the shadow.
    static QImage previewImageForCard(const QVariantMap& card, qint64 projectType,
                                      bool landscapeOrientation);
    // The miniature of a disc sheet in points, each label drawn by its shape.
    static QImage discPreviewImageForCard(const QVariantMap& layout, qint64 projectType,
                                          bool landscapeOrientation);
    // Darkens what lies outside a round or rounded label of the cell, clipped to the bounds,
    // in the current drawing context.
    static void drawOverlay(const QVariantMap& layout, const QRectF& viewBounds,
                            const QRectF& cell);
    static platform::BezierPath roundedRectWithRect(const QRectF& rect, double cornerRadius);
    static platform::Shadow previewShadow(bool landscape);
    // The selected stock's miniature; nothing without a selected row.
    void createPreviewImage();
    void createDiscPreviewImage();
    QImage previewImage() const { return _previewImage; }
    // Whether the view shows its image a quarter turn to the left (a landscape sheet).
    bool previewTurned() const { return _previewTurned; }
    void updateCustomPreviewImage(const QImage& image, bool landscapeOrientation);
    QImage customPreviewImage() const { return _customPreviewImage; }
    bool customPreviewTurned() const { return _customPreviewTurned; }

    // ==== Making and the open choosers (LBLayoutSheetController.cpp) =====================

    LBLayoutSheetController(bool newDocument, qint64 existingDocumentProjectType,
                            QObject* parent = nullptr);
    // Writes the sheet size, the list width and, when loaded, the custom layouts.
    ~LBLayoutSheetController() override;

    // Every chooser from its making until its window drops it, oldest first.
    static QList<LBLayoutSheetController*> openControllers();
    static void removeFromOpenControllers(LBLayoutSheetController* controller);
    // Quitting: closeDocumentAction() to each open chooser, last to first; the choosers
    // let go are released then (the event loop has ended), writing what they keep.
    static void closeAllOpenControllers();

    bool isNewDocumentLayout() const { return _newDocumentLayout; }
    qint64 selectedProjectType() const { return _selectedProjectType; }
    void setSelectedProjectType(qint64 type) { _selectedProjectType = type; }
    LayoutSheetHost* host() const { return _host; }
    static constexpr double templateCellSize() { return 120.0; }
    static constexpr bool isBusinessCard() { return false; }

    // The sheet's widgets (made on first use; none in a chooser that is only asked).
    QDialog* sheet();
    // Begins the sheet on the host's window.
    void beginSheetForController(LayoutSheetHost* host);

    // ==== Restoring, handing off, closing (LBLayoutSheetController+HandOff.cpp) ==========

    void setFromProjectDescription(const QVariantMap& description);
    bool sheetMode() const { return _sheetMode; }
    // The template step's orientation: 0 landscape, 1 portrait.
    qint64 pageOrientationColumn() const { return _pageOrientationColumn; }
    // Hands the chosen layout to the host (or asks about addresses first).
    void chooseDesignAction();
    void closeDocumentAction();
    void openFileAction();
    // Opens the files as documents with windows; alerts for the ones that cannot be
    // read; closes the chooser when one opened. Returns how many opened.
    qint64 openFiles(const QStringList& paths);
    // The address prompts and what their answers do (1000 first button, ...).
    void promptToInsertAddress();
    void promptToInsertEnvelopeAddresses();
    void insertAddressPromptDidEnd(int returnCode);
    void insertEnvelopeAddressesPromptDidEnd(int returnCode);
    // The project type recorded for a matched-sets design of that label kind.
    static qint64 projectTypeForMatchedSetLabelType(qint64 labelType);

    // ==== Steps and custom layouts (LBLayoutSheetController+Steps.cpp) ===================

    void goToStep(qint64 step);
    void continueAction();
    void goBackAction();
    void customSizeAction();
    void projectTypeAction(qint64 buttonType);
    qint64 stepIndex() const { return _stepIndex; }
    qint64 shownStep() const { return _shownStep; }
    // The sheet's client area and its limits (a maximum of 0 is none).
    QRectF sheetFrame() const { return _sheetFrame; }
    void setSheetFrame(const QRectF& frame) { _sheetFrame = frame; }
    QSizeF minimumSize() const { return _minimumSize; }
    QSizeF maximumSize() const { return _maximumSize; }
    // The bottom edge the sheet keeps above (the screen's); none by default.
    void setScreenBottom(double bottom) { _screenBottom = bottom; }
    QSizeF layoutSheetSize() const { return _layoutSheetSize; }
    double documentListWidth() const { return _documentListWidth; }
    // Image names of the project buttons: "Project1|Project1" for the chosen one.
    QString projectButtonImages(qint64 buttonType) const;
    // The split view's two panes for its width and divider, and what a resize records.
    struct SplitWidths
    {
        double left = 0;
        double right = 0;
    };
    SplitWidths splitViewResizeSubviews(double width, double dividerThickness);
    void splitViewDidResizeSubviews(double firstWidth);
    void setSplitFirstPaneWidth(double width) { _splitFirstPaneWidth = width; }

    // ==== Design folders and templates (LBLayoutSheetController+Designs.cpp) ===========

    // The size in points of a size text ("4x2 in", "100x50 mm"): millimetres when it ends
    // in "mm", else inches; (0, 0) unless it holds exactly two numbers around "x".
    static QSizeF pixelSizeForString(const QString& string);
    // How far apart two sizes are: (larger / smaller width) x (larger / smaller height),
    // the height ignored for discs; 1 is equal, infinity when either cannot be read.
    static double compareSize(const QString& size1, const QString& size2, bool isDisc);
    // "2.500" gives "2.5", "3.00" gives "3"; a text without "." is kept.
    static QString stripTrailingZerosFromString(const QString& string);
    // The program's own designs ("Smart Templates" in the application data), ending in
    // "/"; empty when there is none. A test may give another.
    static QString smartTemplatesPath();
    static void setSmartTemplatesPath(const QString& path);

    // Chooses the selected stock (row 0 when none) for the template step: its code, its
    // design folders and templates, and the stock default.
    void processCardStockSelection();
    // Collects the design folders of the size of the stock in that row (or else of the
    // most similar sizes) found under the designs root; reset starts a new search.
    // Returns the stock's card.
    std::optional<QVariantMap> buildDocumentListForStyleIndex(qint64 row, bool resetTopFolderArray,
                                                              const QString& designsRoot);
    // A design folder found, with the offset that centres its designs on the stock.
    struct DesignFolder
    {
        std::shared_ptr<LBLayoutItem> item;
        QPointF offset;
    };
    const QList<DesignFolder>& topFolders() const { return _topFolderArray; }
    double folderSizeSimilarity() const { return _folderSizeSimilarity; }
    QString templatePrompt() const { return _templatePrompt; }

    // The outline of design folders: at the root "All" and "Blank" (none for matched
    // sets) and the found folders; their sub-folders below them.
    qint64 outlineRootRowCount() const;
    // The folder of a root row; nullptr for the text rows.
    LBLayoutItem* outlineRootItem(qint64 row) const;
    QString outlineRootTitle(qint64 row) const;
    // A folder's title: its name without a document extension.
    static QString outlineTitle(const LBLayoutItem& item);
    QStringList designFolderRows() const;
    // Selects a root row, or a folder below it, and lists its templates; -1 selects none.
    void selectOutlineRow(qint64 row, LBLayoutItem* item = nullptr);
    qint64 selectedOutlineRow() const { return _selectedOutlineRow; }
    LBLayoutItem* selectedOutlineItem() const;
    void outlineViewSelectionDidChange();
    // Appends the templates in the folder and, first, in its sub-folders.
    void addTemplatesInFolder(const QString& path);
    // The templates of the selected folder whose file names contain the text.
    void searchTemplateName(const QString& text);
    QString templateSearchText() const { return _templateSearchText; }

    const QList<std::shared_ptr<LBTemplateObject>>& templates() const { return _templateArray; }
    std::shared_ptr<LBTemplateObject> blankTemplateObjectWithName(const QString& name) const;
    void setSelectedTemplate(qint64 index) { _selectedTemplate = index; }
    qint64 selectedTemplate() const { return _selectedTemplate; }
    // Whether the chosen template is one of the program's own designs.
    bool isSmartTemplate() const;
    // The offset that centres the design at that path on the stock.
    QPointF designOffsetForTemplate(const QString& path) const;
    bool chooseDesignEnabled() const { return _chooseDesignEnabled; }
    bool chooseCustomDesignEnabled() const { return _chooseCustomDesignEnabled; }
    bool matchedSetsSelected() const { return _matchedSetsSelected; }

    // The custom layouts, the pane and the menu.
    LBPaperSizeController* paperSizeController() const { return _paperSizeController.get(); }
    void loadPaperSizeController();
    const QVariantList& customLayouts() const { return _customLayoutsArray; }
    bool customLayoutsLoaded() const { return _customLayoutsLoaded; }
    qint64 customLayoutIndex() const { return _customLayoutIndex; }
    const PopUp& customLayoutPopup() const { return _customLayoutPopup; }
    void customLayoutAction(qint64 index);
    // What the name sheet asks: the text to fill in and whether one is open.
    bool nameSheetOpen() const { return _nameSheetOpen; }
    QString nameSheetText() const { return _nameSheetText; }
    void saveCustomNameAction(const QString& text);
    void cancelCustomNameAction();
    void saveSelectedLayoutWithName(const std::optional<QString>& name);
    bool validateMenuItem(qint64 index) const;
    // The pane's view is in the sheet at that height; later heights resize the sheet.
    void paperSizeNibLoaded(double mainViewHeight) { _oldMainViewHeight = mainViewHeight; }
    void mainViewChangedSize(double newHeight);
    // The pane's layout changed: its miniature and whether it can be chosen.
    void paperSizeDidChange();
    double customWindowHeight() const { return _customWindowHeight; }
    // The custom layouts file ("Custom.plist" in the support folder).
    static QString customLayoutsPath();

Q_SIGNALS:
    // The state the widgets show changed.
    void changed();

private:
    friend class LayoutSheetViews;

    // Catalogue parsing.
    class CatalogueHandler;
    void logBadSheet(const QVariantMap& record, const QString& reason) const;
    QList<Card> filteredCatalogue(const QString& manufacturer, const QString& labelType) const;
    void rebuildLabelTypePopup();
    // Browsing.
    QList<ManufacturerEntry> readStockFile(const QString& path) const;
    const QList<ManufacturerEntry>& envelopeList() const;
    void rebuildPreview();
    qint64 firstRowWithCode(const QString& code, bool prefix) const;
    // Steps.
    void setFrameCentred(double width, double height, bool clampBottom);
    void writeCustomLayouts();
    void readCustomLayouts();
    // Hand-off.
    void writeProjectDescription(qint64 projectType, bool withNames, bool horizontal);
    void endSheet();

    // Making.
    bool _newDocumentLayout = false;
    qint64 _selectedProjectType = 0;
    QPointer<QObject> _hostObject;
    LayoutSheetHost* _host = nullptr;
    // The sheet: ours, though the window it is on may take it down first.
    QPointer<QDialog> _sheet;
    LayoutSheetViews* _views = nullptr;

    // Catalogue.
    QList<Card> _paperFormatsArray;
    QStringList _manufacturersArray;
    QString _catalogueError;
    QString _parsingDocumentTypeStr;

    // Browsing.
    QList<Card> _cardArray;
    bool _hasCardArray = false;
    QList<ManufacturerEntry> _usManufacturersArray;
    QList<ManufacturerEntry> _a4ManufacturersArray;
    PopUp _manufacturerPopup;
    PopUp _labelTypePopup;
    qint64 _selectedRow = -1;
    qint64 _formatUnitsColumn = 0;
    qint64 _templateUnitsColumn = 0;
    bool _landscapeOrientationSelected = false;
    bool _matchedSetsSelected = false;
    bool _rebuildDiscLabelTypes = true;
    bool _continueEnabled = false;
    QString _selectedManufacturerName;
    QString _selectedCardStockName;
    QString _searchText;

    // Steps.
    qint64 _stepIndex = 0;
    qint64 _shownStep = -1;
    qint64 _preCustomSizeStepIndex = 0;
    // Set while the custom-size step was entered from the format step: Back finds the
    // format step's lists and selection as the user left them.
    bool _formatSelectionKept = false;
    QRectF _sheetFrame;
    QSizeF _minimumSize;
    QSizeF _maximumSize;
    double _screenBottom = 0;
    QSizeF _layoutSheetSize;
    double _documentListWidth = 0;
    double _splitFirstPaneWidth = 0;
    bool _ignoreNewDocumentListWidth = false;
    double _customWindowHeight = 538;
    double _oldMainViewHeight = 0;
    bool _sheetMode = false;
    qint64 _pageOrientationColumn = 1;
    QList<DesignFolder> _topFolderArray;
    bool _hasTopFolderArray = false;
    double _folderSizeSimilarity = 100000.0;
    QString _templatePrompt;
    qint64 _selectedOutlineRow = -1;
    LBLayoutItem* _selectedOutlineItem = nullptr;
    void rebuildDesignFolders(qint64 row);
    QString _templateSearchText;
    QList<std::shared_ptr<LBTemplateObject>> _templateArray;
    qint64 _selectedTemplate = 0;
    bool _chooseDesignEnabled = false;
    bool _chooseCustomDesignEnabled = false;
    std::unique_ptr<LBPaperSizeController> _paperSizeController;
    QVariantList _customLayoutsArray;
    bool _customLayoutsLoaded = false;
    bool _customLayoutsReadable = true;
    qint64 _customLayoutIndex = -2;
    bool _creatingNewCustomLayout = false;
    PopUp _customLayoutPopup;
    bool _nameSheetOpen = false;
    QString _nameSheetText;

    // Hand-off.
    QVariantMap _savedLabelDict;
    bool _savedBlankVertical = false;
    bool _ended = false;

    // Previews.
    QImage _previewImage;
    bool _previewTurned = false;
    QImage _customPreviewImage;
    bool _customPreviewTurned = false;
};
