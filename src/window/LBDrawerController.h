#pragma once

// The design drawer: a bar of six tab buttons and a title bar over one browser at a time,
// chosen by the drawer mode (-1 none, 0 shapes, 1 none, 2 photos, 3 kits, 4 text library,
// 5 favourites, 6 fields). The design controller makes it on the drawer's first opening
// (through DesignDrawer's factory) and owns it. Browsers come from DrawerBrowser's
// factories, are made on first use and kept: switching modes only detaches and
// re-attaches their views. The photo browser (LBClipArtController) and the kit browser
// (SGCorbeilController of the kit browser library) are the drawer's own; a mode without a
// browser shows an empty pane under its tab and title.
//
// It is the kit browser's graphic builder: kit image files become image graphics,
// inserted into the design or returned as graphics-list data. The first time the kit
// browser shows for a user ("SkipKitCheck3"), the sample kit shipped with the program
// ("Veltrin Winter.icorbeil") is imported unless the library holds it.
//
// Settings: "Graphics Drawer Selection" (the last mode other than 1 and -1) and
// "Graphics Drawer Open" (the mode last shown, -1 after the drawer went).

#include "kitbrowser/SGCorbeilGraphicBuilderDelegate.h"
#include "platform/ui/Responder.h"
#include "window/LBEditController.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>

#include <array>
#include <memory>

class DrawerBrowser;
class LBColorView;
class LBDrawerBarView;
class LBGradientButton;
class LBGradientButtonCell;
class LBImage;
class LBClipArtController;
class QAction;
class QLabel;
class QMenu;
class QWidget;
class SGCorbeilController;

class LBDrawerController : public QObject,
                           public DesignDrawer,
                           public SGCorbeilGraphicBuilderDelegate,
                           public platform::Responder
{
    Q_OBJECT
public:
    // Builds the drawer's view and switches to the stored selection.
    LBDrawerController();
    // Stops observing, detaches the browser (mode -1) and lets the browsers go.
    ~LBDrawerController() override;

    // --- DesignDrawer ---
    QWidget* view() override { return _view; }
    void setEditController(LBEditController* controller) override;
    void setMode(qint64 mode) override;
    void importCorbeil(const QString& path, qint64 currentIndex, qint64 numFiles) override;
    void setShiftKeyDown(bool down) override;
    void setOutlineHeightFromPreferences() override;
    void removeDarkLine() override;
    void selectCorbeilImageType(const QString& type) override;

    qint64 mode() const { return _mode; }
    LBEditController* editController() const { return _editController; }
    // The browser of a mode; nullptr before it was made (or without a factory).
    DrawerBrowser* browser(qint64 mode) const;
    // The six tab buttons: shapes, kits, photos, text, favourites, fields (the tab bar's
    // order left to right is shapes, kits, photos, text, fields, favourites).
    LBGradientButton* tabButton(qint64 mode) const;
    LBDrawerBarView* barView() const { return _barView; }
    QLabel* photoHelpText() const { return _photoHelpText; }
    QWidget* photoOptionsPullDown() const { return _photoOptionsPullDown; }
    // The photo options' menu: folder sort criteria and direction, choosing the folder and
    // reloading it; each item carries its command's selector and tag.
    QMenu* photoOptionsMenu() const { return _photoOptionsMenu; }
    // The photo browser and the kit browser; nullptr before they were first shown.
    LBClipArtController* photoBrowser() const;
    SGCorbeilController* corbeilController() const;
    LBColorView* darkLineView() const;

    // The tab button's mode, -1 for none.
    qint64 modeOfTabButton(const QObject* button) const;
    void toolButtonAction(QObject* sender);
    // Lays the tabs out over the bar's width (see tabFrames()).
    void drawerResized();
    // x and width of the six tabs in bar order for a bar `barWidth` wide: W = the width
    // less 1, cut to whole points; w = W / 6 (whole points); the first takes the rest.
    static QList<QPair<int, int>> tabFrames(double barWidth);
    // The browser frame in the drawer's view.
    QRectF browserFrame() const;
    // A held tab shows the current one unselected until it is let go.
    void drawerButtonHighlightChanged(const LBGradientButtonCell* cell);
    void updateDarkLineView();

    // --- SGCorbeilGraphicBuilderDelegate ---
    void insertCorbeilFiles(const QStringList& files, const QStringList& imageSizes, bool isPaper,
                            bool isQuickPage) override;
    QByteArray pasteboardDataForFiles(const QStringList& files, const QStringList& imageSizes,
                                      QString* pasteboardType, bool isPaper,
                                      bool isQuickPage) override;
    // One image graphic per file, sized from its size string, marked paper (9) or quick
    // page (6) by the flags.
    static QList<LBGraphicPtr> graphicsForFiles(const QStringList& files,
                                                const QStringList& imageSizes, bool isPaper,
                                                bool isQuickPage);

    // --- Photo commands (the photo options' items, by selector) ---
    // The sender's tag: the sort criteria; non-zero sorts up.
    void changePhotoFolderSortCriteria(QObject* sender);
    void changePhotoFolderSortDirection(QObject* sender);
    // Asks the user for the photo folder.
    void choosePhotoLibrary(QObject* sender);
    void reloadiPhotoLibrary(QObject* sender);
    // Every item is enabled; the sort items carry a check mark on the current setting.
    bool validateMenuItem(QAction* item) override;

    // --- Sample kit ---
    // Once per user: schedules importLabelKits() for the next turn of the event loop when
    // the library's "Kits" folder has no sample kit; then sets "SkipKitCheck3".
    void sampleKitCheck();
    // Imports the sample kit through the kit browser and, when it arrived, says so in a
    // sheet on the design window (offering the kit download page when there is one). A
    // failed import lets the check run again next time.
    void importLabelKits();
    // The sheet's answer: the first button opens the kit download page.
    void importSampleSheetDidEnd(int returnCode);
    // The sample kit package among the program's file resources; null when missing.
    static QString sampleKitPath();
    static const QString SampleKitFileName;

    // The bar titles by mode ("Shapes", "Photos", "Artwork", "Text", "Favorites", "Fields").
    static QString barTitle(qint64 mode);

private:
    void buildView();
    void buildPhotoOptionsMenu();
    void registerCommands();
    void showBrowser(qint64 mode);
    void placePhotoHelpText(double width);
    // The frame of the mode's browser view (the photo browser's reaches 16 further down).
    QRect browserFrameForMode(qint64 mode) const;

    QWidget* _view = nullptr;
    std::array<LBGradientButton*, 6> _tabs{}; // by mode order 0, 3, 2, 4, 5, 6
    LBDrawerBarView* _barView = nullptr;
    QLabel* _photoHelpText = nullptr;
    QWidget* _photoOptionsPullDown = nullptr;
    QMenu* _photoOptionsMenu = nullptr;
    QWidget* _tabBar = nullptr;
    std::array<std::unique_ptr<DrawerBrowser>, 7> _browsers;
    LBEditController* _editController = nullptr;
    qint64 _mode = -1;
    bool _okToSetOutlineHeightFromPrefs = false;
    QPointer<LBColorView> _darkLineView;
    platform::ObserverToken _highlightObserver;
    platform::ObserverToken _choosePhotoLibraryObserver;
};
