#pragma once

// The state of SGCorbeilController behind its pimpl: the store, the browsing state, the
// widgets of its interface ("iCorbeil View") and the sheets. Internal to the kit browser.

#include "kitbrowser/SGCorbeilController.h"
#include "kitbrowser/SGCorbeilStore.h"
#include "platform/drawing/Bundle.h"
#include "platform/ui/CoverFlowView.h"
#include "platform/ui/ImageBrowserView.h"

#include <QHash>
#include <QPointer>
#include <QSet>

#include <memory>
#include <optional>

class QCheckBox;
class QDialog;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSlider;
class QTableView;
class QTextEdit;
class QToolButton;
class SGAttachedWindow;
class SGImageBrowserView;
class SGPathControl;

namespace platform {
class CoverFlowView;
class ProgressWindow;
class SegmentedControl;
class UtilityWindow;
} // namespace platform

namespace sgbrowser {

// Groups of modes.
inline bool isKitMode(int mode)
{
    return mode == 1 || mode == 4 || mode == 5 || mode == 9 || mode == 13 || mode == 16;
}
inline bool isGraphicMode(int mode)
{
    return mode == 3 || mode == 7 || mode == 11 || mode == 14 || mode == 18;
}
inline bool isIntermediateMode(int mode)
{
    return mode == 2 || mode == 6 || mode == 8 || mode == 10 || mode == 12 || mode == 17;
}
inline constexpr int ColorMode = 15;

// Keys of the user defaults.
inline const QString LastImportStringKey = QStringLiteral("LastImportString");
inline const QString ZoomSettingKitsKey = QStringLiteral("SGZoomSettingK");
inline const QString ZoomSettingGraphicsKey = QStringLiteral("SGZoomSettingG");
inline const QString MatchPrimaryColorKey = QStringLiteral("MatchPrimaryColor");
inline const QString DisableDeleteConfirmationKey = QStringLiteral("DisableDeleteConfirmation");

// Names kept in "LastImportString" are joined by this.
inline const QString LastImportSeparator = QStringLiteral("|||");
// Packages being imported wait in "Kits" under names starting with this (hidden files),
// which no kit of the library bears; the check removes leftovers.
inline const QString ImportingPrefix = QStringLiteral(".importing-");

// The kits or the graphics an image browser shows.
class BrowserSource : public platform::ImageBrowserDataSource
{
public:
    BrowserSource(SGCorbeilController::Private& d, bool graphics) : _d(d), _graphics(graphics) {}
    int numberOfItemsInImageBrowser(platform::ImageBrowserView* browser) override;
    platform::ImageBrowserItem imageBrowserItemAtIndex(platform::ImageBrowserView* browser,
                                                       int index) override;
    QByteArray imageRepresentationAtIndex(platform::ImageBrowserView* browser, int index) override;

private:
    SGCorbeilController::Private& _d;
    bool _graphics;
};

class CoverFlowSource : public platform::CoverFlowViewDataSource
{
public:
    explicit CoverFlowSource(SGCorbeilController::Private& d) : _d(d) {}
    int numberOfItemsInCoverFlowView(platform::CoverFlowView* view) override;
    platform::CoverFlowItem coverFlowViewItemAtIndex(platform::CoverFlowView* view,
                                                     int index) override;

private:
    SGCorbeilController::Private& _d;
};

} // namespace sgbrowser

struct SGCorbeilController::Private
{
    explicit Private(SGCorbeilController* controller);
    ~Private();

    SGCorbeilController* q;
    QString nibName;
    platform::Bundle bundle;

    // --- Library and store ---
    QString libraryPath;
    std::unique_ptr<SGCorbeilStore> store;
    bool verifyPending = true;
    std::optional<SGKitRecord> allKitsItem;
    QStringList colorNames; // localized, in the order of the 16 names
    // The running batch: library file names of the kits that arrived, and what failed.
    QStringList importedNames;
    QStringList importProblems;

    SGCorbeilStore& openStore();
    QString kitsFolder() const { return libraryPath + QStringLiteral("/Kits"); }
    QString kitFolder(const QString& filename) const { return kitsFolder() + u'/' + filename; }
    const SGKitRecord& theAllKitsItem();
    QString localized(const QString& key) const;
    QString dialogString(const QString& key) const;
    // The browser's window, for sheets and progress; nullptr without a shown view.
    QWidget* window() const;
    void presentError(const QString& message, const QString& detail) const;

    // --- Host ---
    SGCorbeilGraphicBuilderDelegate* builder = nullptr;
    QPointer<QObject> builderGuard; // the builder, when it is a QObject
    bool builderIsObject = false;
    bool showFreeKitsButton = false;
    QString freeKitsURL;
    bool showCoverFlowButton = false;

    // --- Browsing state ---
    int mode = 0;
    std::optional<SGKitRecord> selectedKit;
    QList<SGKitRecord> kitsArray;
    QStringList namesArray;
    QString selectedKitType;
    QString selectedType;
    QString selectedAuthor;
    QString selectedColor;
    QList<SGObjectRecord> graphicsArray;
    QStringList secondaryColors;
    QString orientationFilter;
    QString paperStyleFilter;
    QString pictureCountFilter;
    bool showLastImport = false;
    int kitSizeSelection = 0;
    QPointer<QLineEdit> externalSearchField;
    int controlMargin = 16;
    bool slidersCentred = false;

    // --- Interface ---
    bool interfaceLoaded = false;
    QPointer<QWidget> rootView; // the browser view: the host view's child, or standalone
    QPointer<QWidget> hostView;
    QHash<QString, QPointer<QObject>> outlets;
    QWidget* homeView = nullptr;
    QTableView* homeTable = nullptr;
    QWidget* kitsView = nullptr;
    platform::ImageBrowserView* kitBrowser = nullptr;
    QWidget* kitZoomContainer = nullptr;
    QSlider* kitZoomSlider = nullptr;
    QLineEdit* kitsSearchField = nullptr;
    QLabel* kitsCountField = nullptr;
    QWidget* intermediateView = nullptr;
    QTableView* intermediateTable = nullptr;
    QWidget* colorsView = nullptr;
    QTableView* colorsTable = nullptr;
    QWidget* graphicsView = nullptr;
    SGImageBrowserView* graphicBrowser = nullptr;
    QWidget* graphicZoomContainer = nullptr;
    QSlider* graphicZoomSlider = nullptr;
    QLineEdit* graphicsSearchField = nullptr;
    QLabel* graphicsCountField = nullptr;
    SGPathControl* homePathControl = nullptr;
    SGPathControl* kitsPathControl = nullptr;
    SGPathControl* intermediatePathControl = nullptr;
    SGPathControl* colorsPathControl = nullptr;
    SGPathControl* graphicsPathControl = nullptr;
    platform::SegmentedControl* plusMinusControl = nullptr;
    QCheckBox* primaryColorCheckBox = nullptr;
    QPushButton* freeKitsButton = nullptr;
    QToolButton* coverFlowButton = nullptr;
    QToolButton* kitsSearchMenuButton = nullptr;
    QToolButton* graphicsSearchMenuButton = nullptr;
    QMenu* kitSizeMenu = nullptr;
    QMenu* actionMenu = nullptr;
    QMenu* paperMenu = nullptr;
    QMenu* quickPageMenu = nullptr;
    QMenu* graphicsSearchMenu = nullptr; // the action menu in use
    // Cover flow.
    QPointer<platform::UtilityWindow> coverFlowWindow;
    platform::CoverFlowView* coverFlowView = nullptr;
    QLabel* coverFlowCountField = nullptr;
    bool coverFlowPlaced = false;
    // Previews.
    QPointer<QWidget> kitPreviewView;
    QLabel* kitPreviewImageView = nullptr;
    QLabel* kitPreviewTitleField = nullptr;
    QLabel* kitPreviewDescriptionField = nullptr;
    QLabel* kitPreviewTagsField = nullptr;
    QPointer<QWidget> graphicPreviewView;
    QLabel* graphicPreviewImageView = nullptr;
    QLabel* graphicPreviewTitleField = nullptr;
    QLabel* graphicPreviewKitField = nullptr;
    QLabel* graphicPreviewTagsField = nullptr;
    QPointer<SGAttachedWindow> previewWindow;
    int previewedGraphic = -1;
    QSize kitPreviewBaseSize;
    QSize graphicPreviewBaseSize;
    // Delete sheet.
    QPointer<QDialog> deleteSheet;
    QTableView* deleteTable = nullptr;
    QPushButton* deleteButton = nullptr;
    QList<SGKitRecord> deleteKits;
    QList<bool> deleteFlags;
    // Kit information sheet.
    QPointer<QDialog> infoSheet;
    QTableView* infoKitTable = nullptr;
    QTableView* infoReleaseTable = nullptr;
    QHash<QString, QWidget*> infoFields;
    QList<SGKitRecord> infoKits;
    QVariantList infoReleases;

    std::unique_ptr<sgbrowser::BrowserSource> kitSource;
    std::unique_ptr<sgbrowser::BrowserSource> graphicSource;
    std::unique_ptr<sgbrowser::CoverFlowSource> coverFlowSource;

    void loadInterface();
    void keepOutlet(const QString& name, QObject* object);
    // A table over the table callbacks, kept as an outlet; headers shown when given.
    QTableView* namedTable(QWidget* parent, const QString& name, const QStringList& columns,
                           const QStringList& headers);
    // Forgets the selections and lists of every level.
    void clearBrowsingState();
    void setTagsField(QLabel* field, const QString& tagString) const;
    void showPreview(QWidget* view, QLabel* imageView, const QSize& baseSize, const QImage& picture,
                     const QRect& cellFrameW, const QColor& fill);
    void awakeFromNib();
    void buildPreviews();
    void buildSheets();
    void buildCoverFlowWindow();
    QPixmap pixmap(const QString& name) const;
    void reloadTable(QTableView* table);
    QTableView* tableNamed(const QString& name) const;
    QString tableName(const QTableView* table) const;
    SGPathControl* currentPathControl() const;
    QWidget* currentPanel() const;
    QLineEdit* searchField() const; // the external one when set, else the kits field
    void layoutPanels();
    void setItemCountText(const QString& text);
    void reloadKitBrowser();
    void reloadGraphicBrowser();

    // --- Browsing helpers ---
    QList<SGKitRecord> withAllKitsItem(const QList<SGKitRecord>& kits);
    QStringList withAllTypes(const QStringList& names) const;
    QList<SGKitRecord> kitsOfSelectedType(const QList<SGKitRecord>& kits);
    void setSearchMenu(QMenu* menu);
    void resetFilterMenu(QMenu* menu);
    void runSearch(QLineEdit* field, const QString& text);
    // A word list from a search text; in graphic modes a colour word becomes the selected
    // colour.
    QStringList parseWords(const QString& text, bool graphicMode);

    // --- Import helpers ---
    bool importOne(const QUrl& source, const QString& destination, bool showProgress,
                   quint64 currentIndex, quint64 numFiles, QString* error);
    void removeLeftoverImports();
    void showImportConfirmation(int count);

    // --- Pictures ---
    static QByteArray readFile(const QString& path);
    QByteArray allKitsPicture() const;
    QString thumbnailPath(const SGObjectRecord& object, bool detailed) const;
    QString kitPreviewPath(const SGKitRecord& kit) const;

    QPointer<QObject> hostFilter;
};
