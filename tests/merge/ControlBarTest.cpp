// The preview's label-sheet control bar (sections per layout, repeat count, start label,
// options) and the live-address badges and menu.

#include "MergeTestSupport.h"

#include "graphics/LBTextArea.h"
#include "layouts/LBPageView.h"
#include "merge/LBCreateController.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/KXControlBar.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace {

platform::UserDefaults& settings()
{
    return platform::UserDefaults::standardUserDefaults();
}

} // namespace

class ControlBar : public SheetTest
{
protected:
    ControlBar()
    {
        forgetSettings();
        // A new document takes its page-number and date bits from the settings.
        document->setDrawAuxiliaryInfo(0, false);
        setSheet(5, 2, 100, 50);
        layout()[DimensionInfo::labelType] = 1;
        container.resize(900, 500);
        preview.setWindowController(controller);
    }
    ~ControlBar() override
    {
        preview.setWindowController(nullptr);
        forgetSettings();
    }
    // The settings the bar writes, so that none carries over to another test.
    static void forgetSettings()
    {
        for (const char* key : {"HidePreviewGridlinesInLabels", "HidePreviewGridlinesInDiscLabels",
                                "DisableLiveAddresses", "Draw Auxiliary Info"})
            settings().removeObjectForKey(QString::fromLatin1(key));
    }

    // The bar built for the layout as the preview shows it.
    void build()
    {
        preview.updateLabelSettings();
        preview.addQuarnLabelControls(&container);
    }
    QMenu* options() const { return preview.optionsPopup()->menu(); }
    QAction* option(qint64 tag) const
    {
        for (QAction* item : options()->actions())
            if (!item->isSeparator() && item->data().isValid() && item->data().toLongLong() == tag)
                return item;
        return nullptr;
    }
    QList<qint64> optionTags() const
    {
        QList<qint64> tags;
        for (QAction* item : options()->actions())
            if (item->isEnabled() && item->data().isValid())
                tags.append(item->data().toLongLong());
        return tags;
    }
    QList<qint64> markedOptions() const
    {
        QList<qint64> tags;
        for (QAction* item : options()->actions())
            if (item->isChecked())
                tags.append(item->data().toLongLong());
        return tags;
    }
    QComboBox* repeat() const { return preview.repeatCountPopup(); }
    QList<qint64> repeatTags() const
    {
        QList<qint64> tags;
        for (int i = 0; i < repeat()->count(); ++i)
            if (repeat()->itemData(i).isValid())
                tags.append(repeat()->itemData(i).toLongLong());
        return tags;
    }
    void setStartFields(qint64 row, qint64 column)
    {
        preview.startRowField()->setText(QString::number(row));
        preview.startColumnField()->setText(QString::number(column));
    }
    QPair<QString, QString> startFields() const
    {
        return {preview.startRowField()->text(), preview.startColumnField()->text()};
    }
    // An address box (or an ordinary one, type 0) over most of every label.
    std::shared_ptr<LBTextArea> textBox(qint64 type)
    {
        auto box = std::make_shared<LBTextArea>();
        box->setBoundsNoOtherChanges(QRectF(10, 10, 80, 30));
        box->setTextBoxType(type);
        document->undoManager()->disableUndoRegistration();
        document->insertGraphic(box, 0, 1);
        document->undoManager()->enableUndoRegistration();
        return box;
    }

    QWidget container;
    LBCreateController preview;
};

TEST_F(ControlBar, SectionsAndOptionsFollowTheKindOfLayout)
{
    using Tags = QList<qint64>;
    struct Case
    {
        const char* name;
        qint64 labelType;
        const char* maker;
        bool delivery, returnAddress;
        bool copies, start, optionsShown, live;
        Tags tags;
    };
    const Case cases[] = {
        {"label sheet", 1, "", false, false, true, true, true, false, {7, 15, 16, 4, 5}},
        {"label sheet with a delivery box",
         1,
         "",
         true,
         false,
         true,
         true,
         true,
         true,
         {7, 15, 16, 1, 2, 101, 102, 103, 104, 4, 5}},
        {"roll printer with an envelope code", 5, "Brother", false, false, true, true, true, false,
         Tags{7, 15, 16, 4, 5}},
        {"envelope with a delivery box",
         5,
         "",
         true,
         false,
         true,
         false,
         true,
         true,
         {1, 2, 3, 101, 102, 103, 104}},
        {"envelope without an address box", 5, "", false, false, true, false, false, false, {}},
        {"envelope with a return address only", 6, "", false, true, true, false, false, true, {}},
        {"letterhead", 8, "", false, false, true, false, false, false, {}},
        {"disc labels", 17, "", false, false, true, false, true, false, {8}},
        {"no layout type", 0, "", true, true, false, false, false, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        layout()[DimensionInfo::labelType] = c.labelType;
        layout()[DimensionInfo::paperManufacturer] = QString::fromLatin1(c.maker);
        controller->_foundDeliveryAddress = c.delivery;
        controller->_foundReturnAddress = c.returnAddress;
        build();
        EXPECT_EQ(!preview.numCopiesView()->isHidden(), c.copies);
        EXPECT_EQ(!preview.startLabelView()->isHidden(), c.start);
        EXPECT_EQ(!preview.optionsView()->isHidden(), c.optionsShown);
        EXPECT_EQ(!preview.liveAddressView()->isHidden(), c.live);
        if (c.optionsShown) {
            EXPECT_EQ(optionTags(), c.tags);
        }

        // Side by side from the left, centred in the bar.
        int width = 0;
        for (QWidget* section : {preview.numCopiesView(), preview.startLabelView(),
                                 preview.optionsView(), preview.liveAddressView()}) {
            if (section->isHidden())
                continue;
            EXPECT_EQ(section->x(), width);
            width += section->width();
        }
        if (width > 0) {
            EXPECT_EQ(preview.controlsContainer()->width(), width);
            EXPECT_EQ(preview.controlsContainer()->x(), (preview.buttonBar()->width() - width) / 2);
        }
    }
    EXPECT_EQ(preview.buttonBar()->parentWidget(), &container);
    EXPECT_EQ(preview.buttonBar()->width(), container.width());

    // Centred still when the bar grows with the window.
    container.show();
    preview.buttonBar()->resize(1200, preview.buttonBar()->height());
    const QWidget* sections = preview.controlsContainer();
    EXPECT_EQ(sections->x(), (1200 - sections->width()) / 2);
}

TEST_F(ControlBar, OptionTitlesAndFirstMarks)
{
    controller->_foundDeliveryAddress = true;
    layout()[DimensionInfo::labelDirection] = 2;
    document->setPostnetBarcodeLocation(2);
    document->setFIMType(3);
    document->setDrawAuxiliaryInfo(2, false);
    settings().setBool(true, QStringLiteral("HidePreviewGridlinesInLabels"));
    build();
    EXPECT_EQ(markedOptions(), QList<qint64>({16, 2, 103, 5}));
    EXPECT_EQ(option(7)->text(), QStringLiteral("Show Layout"));
    EXPECT_FALSE(preview.drawLabelOutlinesInRenderingView());
    EXPECT_EQ(option(15)->text(), QStringLiteral("Draw Left to Right"));
    EXPECT_EQ(option(1)->text(), QStringLiteral("Barcode Above Address"));
    EXPECT_EQ(option(101)->text(), QStringLiteral("   FIM-A"));
    EXPECT_EQ(option(4)->text(), QStringLiteral("Print Page Numbers"));
    EXPECT_EQ(option(5)->text(), QStringLiteral("Print Today's Date"));
    const QList<QAction*> items = options()->actions();
    const auto heading = std::find_if(items.begin(), items.end(), [](QAction* item) {
        // Shown with the ampersand as text, not as a keyboard mnemonic.
        return item->text() == QStringLiteral("ENVELOPES && POSTCARDS");
    });
    ASSERT_NE(heading, items.end());
    EXPECT_FALSE((*heading)->isEnabled());

    // Shown again, the items are built anew, not added twice.
    build();
    EXPECT_EQ(optionTags().size(), 11);
}

TEST_F(ControlBar, ChoosingAMarkedOptionAgainTurnsItOff)
{
    controller->_foundDeliveryAddress = true;
    build();
    document->updateChangeCount(platform::Document::ChangeCleared);

    option(1)->trigger();
    EXPECT_EQ(document->postnetBarcodeLocation(), 1);
    EXPECT_TRUE(document->isDocumentEdited());
    option(2)->trigger();
    EXPECT_EQ(document->postnetBarcodeLocation(), 2);
    EXPECT_EQ(markedOptions(), QList<qint64>({15, 2}));
    option(2)->trigger();
    EXPECT_EQ(document->postnetBarcodeLocation(), 0);
    EXPECT_EQ(markedOptions(), QList<qint64>({15}));

    option(102)->trigger();
    EXPECT_EQ(document->FIMType(), 2);
    option(104)->trigger();
    EXPECT_EQ(document->FIMType(), 4);
    EXPECT_EQ(markedOptions(), QList<qint64>({15, 104}));
    option(104)->trigger();
    EXPECT_EQ(document->FIMType(), 0);
    EXPECT_EQ(markedOptions(), QList<qint64>({15}));

    // Page numbers and date: the document's bits and the remembered default.
    option(4)->trigger();
    EXPECT_EQ(document->drawAuxiliaryInfo(), 1);
    option(5)->trigger();
    EXPECT_EQ(document->drawAuxiliaryInfo(), 3);
    option(4)->trigger();
    EXPECT_EQ(document->drawAuxiliaryInfo(), 2);
    EXPECT_EQ(settings().integerForKey(QStringLiteral("Draw Auxiliary Info")), 2);
    EXPECT_EQ(markedOptions(), QList<qint64>({15, 5}));

    // Outlines: the default, the title and the renderers' setting.
    option(7)->trigger();
    EXPECT_TRUE(settings().boolForKey(QStringLiteral("HidePreviewGridlinesInLabels")));
    EXPECT_EQ(option(7)->text(), QStringLiteral("Show Layout"));
    EXPECT_FALSE(preview.drawLabelOutlinesInRenderingView());
    option(7)->trigger();
    EXPECT_EQ(option(7)->text(), QStringLiteral("Hide Layout"));
    EXPECT_TRUE(preview.drawLabelOutlinesInRenderingView());
    EXPECT_EQ(document->drawAuxiliaryInfo(), 2); // kept through the other options
}

TEST_F(ControlBar, PageNumbersAndDatesAreClearedOnlyOffLabelSheets)
{
    document->setDrawAuxiliaryInfo(3, false);
    build();
    EXPECT_EQ(document->drawAuxiliaryInfo(), 3);
    document->updateChangeCount(platform::Document::ChangeCleared);
    layout()[DimensionInfo::labelType] = 5;
    build();
    EXPECT_EQ(document->drawAuxiliaryInfo(), 0);
    EXPECT_FALSE(document->isDocumentEdited());
}

TEST_F(ControlBar, DirectionKeepsTheStartCellAndRecountsTheLabel)
{
    build();
    setStartFields(3, 2);
    preview.startLabelAction(preview.startRowField());
    EXPECT_EQ(preview.startLabel(), 6);
    EXPECT_EQ(DimensionInfo::integer(layout(), DimensionInfo::startLabel), 6);

    option(16)->trigger();
    EXPECT_EQ(preview.startLabel(), 8);
    EXPECT_EQ(DimensionInfo::integer(layout(), DimensionInfo::startLabel), 8);
    EXPECT_EQ(DimensionInfo::integer(layout(), DimensionInfo::labelDirection), 2);
    EXPECT_EQ(startFields(), qMakePair(QStringLiteral("3"), QStringLiteral("2")));
    EXPECT_EQ(markedOptions(), QList<qint64>({16}));
    option(16)->trigger(); // the current direction: nothing changes
    EXPECT_EQ(preview.startLabel(), 8);
    EXPECT_EQ(markedOptions(), QList<qint64>({16}));

    option(15)->trigger();
    EXPECT_EQ(preview.startLabel(), 6);
    EXPECT_EQ(DimensionInfo::integer(layout(), DimensionInfo::labelDirection), 1);

    // A typed row beyond the sheet is brought onto it first.
    setStartFields(9, 2);
    option(16)->trigger();
    EXPECT_EQ(preview.startLabel(), 10);
    EXPECT_EQ(startFields(), qMakePair(QStringLiteral("5"), QStringLiteral("2")));
}

TEST_F(ControlBar, StartFieldsApplyClampedAndUndoably)
{
    build();
    // Typing waits for the field timer.
    preview.startRowField()->clear();
    QTest::keyClicks(preview.startRowField(), QStringLiteral("9"));
    EXPECT_TRUE(preview.textFieldTimerPending());
    EXPECT_EQ(preview.startLabel(), 1);
    preview.textTimerFired();
    EXPECT_EQ(startFields(), qMakePair(QStringLiteral("5"), QStringLiteral("1")));
    EXPECT_EQ(preview.startLabel(), 9);
    EXPECT_EQ(DimensionInfo::integer(layout(), DimensionInfo::startLabel), 9);
    document->undoManager()->endAutomaticGroup(); // as when the event loop turns

    setStartFields(0, 7);
    preview.startLabelAction(nullptr);
    EXPECT_EQ(startFields(), qMakePair(QStringLiteral("1"), QStringLiteral("2")));
    EXPECT_EQ(preview.startLabel(), 2);

    document->undoManager()->undo();
    EXPECT_EQ(DimensionInfo::integer(layout(), DimensionInfo::startLabel), 9);
}

TEST_F(ControlBar, RepeatCountsBeyondFiveGetAnItemOfTheirOwn)
{
    build();
    const QList<qint64> listed = {0, 1, 2, 3, 4, 5, 99999};
    EXPECT_EQ(repeatTags(), listed);
    EXPECT_EQ(repeat()->currentData().toLongLong(), 1);

    document->setLabelRepeatCount(7);
    preview.setupRepeatPopupButton();
    EXPECT_EQ(repeatTags(), QList<qint64>({0, 1, 2, 3, 4, 5, 7, 99999}));
    EXPECT_EQ(repeat()->currentText(), QStringLiteral("7 times"));
    EXPECT_EQ(repeat()->currentIndex(), repeat()->findData(5) + 1);

    document->setLabelRepeatCount(9);
    preview.setupRepeatPopupButton();
    EXPECT_EQ(repeatTags(), QList<qint64>({0, 1, 2, 3, 4, 5, 9, 99999}));
    EXPECT_EQ(repeat()->currentText(), QStringLiteral("9 times"));

    // A full sheet's count, and no count, select the full sheet.
    document->setLabelRepeatCount(10);
    preview.setupRepeatPopupButton();
    EXPECT_EQ(repeat()->currentData().toLongLong(), 0);
    document->setLabelRepeatCount(0);
    preview.setupRepeatPopupButton();
    EXPECT_EQ(repeat()->currentData().toLongLong(), 0);
    EXPECT_EQ(controller->labelRepeatCount(), 10); // applied: rows x columns

    // Chosen from the pop-up.
    repeat()->setCurrentIndex(repeat()->findData(3));
    preview.numLabelsAction(repeat());
    EXPECT_EQ(controller->labelRepeatCount(), 3);
}

TEST_F(ControlBar, SingleSheetLayoutsHaveNoFullSheetAndCountAtLeastOne)
{
    layout()[DimensionInfo::labelType] = 5;
    document->setLabelRepeatCount(0);
    build();
    EXPECT_EQ(repeatTags(), QList<qint64>({1, 2, 3, 4, 5, 99999}));
    EXPECT_EQ(repeat()->currentData().toLongLong(), 1);
    EXPECT_EQ(controller->labelRepeatCount(), 1);

    // Back on a label sheet, the full sheet is offered again.
    layout()[DimensionInfo::labelType] = 1;
    document->setLabelRepeatCount(0);
    build();
    EXPECT_EQ(repeatTags(), QList<qint64>({0, 1, 2, 3, 4, 5, 99999}));
    EXPECT_EQ(repeat()->currentData().toLongLong(), 0);
}

// The preview's two sheets are built when first shown, not with the preview.
TEST_F(ControlBar, TheSheetsAreBuiltWhenFirstShown)
{
    const auto built = [](const char* name) {
        const QWidgetList widgets = QApplication::allWidgets();
        return std::count_if(widgets.cbegin(), widgets.cend(),
                             [name](QWidget* w) { return w->objectName() == QLatin1String(name); });
    };
    build();
    EXPECT_EQ(built("NumLabelsPanel"), 0);
    EXPECT_EQ(built("ContactListHelpPanel"), 0);
    preview.dismissContactListHelpPanel(); // nothing to hide yet
    EXPECT_EQ(built("ContactListHelpPanel"), 0);

    repeat()->setCurrentIndex(repeat()->findData(99999));
    preview.numLabelsAction(repeat());
    EXPECT_EQ(built("NumLabelsPanel"), 1);
    EXPECT_TRUE(preview.numLabelsPanel()->isVisible());
    preview.numLabelsPanelAction(0);
    preview.contactListHelpAction();
    EXPECT_EQ(built("ContactListHelpPanel"), 1);
    EXPECT_TRUE(preview.contactListHelpPanel()->isVisible());
    preview.dismissContactListHelpPanel();
    EXPECT_FALSE(preview.contactListHelpPanel()->isVisible());
    EXPECT_EQ(built("NumLabelsPanel"), 1);
    EXPECT_EQ(built("ContactListHelpPanel"), 1);
}

TEST_F(ControlBar, TheOtherCountSheet)
{
    build();
    document->setLabelRepeatCount(2);
    preview.setupRepeatPopupButton();
    QDialog* sheet = preview.numLabelsPanel();

    struct Case
    {
        const char* name;
        const char* typed;
        qint64 button;
        qint64 count;
        const char* shown;
    };
    const Case cases[] = {
        {"cancelled", "12", 0, 2, "2 times"},
        {"below one", "0", 1, 2, "2 times"},
        {"a listed count", "4", 1, 4, "4 times"},
        {"past the most", "5000000000000", 1, 1000000, "1000000 times"},
        {"a count of its own", "12", 1, 12, "12 times"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        repeat()->setCurrentIndex(repeat()->findData(99999));
        preview.numLabelsAction(repeat());
        EXPECT_TRUE(sheet->isVisible());
        preview.numLabelsPanelField()->setText(QString::fromLatin1(c.typed));
        preview.numLabelsPanelAction(c.button);
        EXPECT_FALSE(sheet->isVisible());
        EXPECT_EQ(controller->labelRepeatCount(), c.count);
        EXPECT_EQ(repeat()->currentText(), QString::fromLatin1(c.shown));
    }
    // Its buttons: Cancel and OK.
    repeat()->setCurrentIndex(repeat()->findData(99999));
    preview.numLabelsAction(repeat());
    preview.numLabelsPanelField()->setText(QStringLiteral("3"));
    sheet->findChild<QPushButton*>(QStringLiteral("NumLabelsPanelCancel"))->click();
    EXPECT_EQ(controller->labelRepeatCount(), 12);
    repeat()->setCurrentIndex(repeat()->findData(99999));
    preview.numLabelsAction(repeat());
    preview.numLabelsPanelField()->setText(QStringLiteral("3"));
    sheet->findChild<QPushButton*>(QStringLiteral("NumLabelsPanelOK"))->click();
    EXPECT_EQ(controller->labelRepeatCount(), 3);
}

TEST_F(ControlBar, LiveAddressBadgesFollowTheCheckbox)
{
    const std::shared_ptr<LBTextArea> delivery = textBox(LBTextArea::DeliveryAddressBox);
    const std::shared_ptr<LBTextArea> ordinary = textBox(LBTextArea::OrdinaryTextBox);
    controller->_foundDeliveryAddress = true;
    build();
    EXPECT_TRUE(preview.liveAddressCheckbox()->isChecked());
    EXPECT_TRUE(delivery->drawsAddressPopup());
    EXPECT_FALSE(ordinary->drawsAddressPopup());

    preview.liveAddressCheckbox()->click();
    EXPECT_FALSE(delivery->drawsAddressPopup());
    EXPECT_TRUE(settings().boolForKey(QStringLiteral("DisableLiveAddresses")));
    build(); // shown again: stays off
    EXPECT_FALSE(preview.liveAddressCheckbox()->isChecked());
    EXPECT_FALSE(delivery->drawsAddressPopup());

    preview.liveAddressCheckbox()->click();
    EXPECT_TRUE(delivery->drawsAddressPopup());
    EXPECT_FALSE(settings().boolForKey(QStringLiteral("DisableLiveAddresses")));
    preview.setLiveAddressCheckboxEnabled(false);
    EXPECT_FALSE(preview.liveAddressCheckbox()->isEnabled());
}

TEST_F(ControlBar, TheAddressMenuStoresTheChoiceForTheContact)
{
    const std::shared_ptr<LBTextArea> delivery = textBox(LBTextArea::DeliveryAddressBox);
    controller->_foundDeliveryAddress = true;
    services->records = 3;
    ASSERT_TRUE(controller->textIsLocked());
    build();
    preview.updateViewWithNewRenderingView(true);
    document->updateChangeCount(platform::Document::ChangeCleared);

    // A click on the address box of label 2 (row 1, column 2): record 1.
    const QRectF sheet = preview.sheetRect(0);
    const QPointF click = sheet.topLeft() + cellOrigin(0, 1) + QPointF(20, 20);
    preview.clickAtPoint(click);
    QPushButton* button = preview.addressMenuButton();
    ASSERT_TRUE(button);
    EXPECT_EQ(button->parentWidget(), preview.pageView());
    EXPECT_EQ(button->geometry(), QRect(click.toPoint(), QSize(20, 20)));
    QMenu* menu = button->findChild<QMenu*>();
    ASSERT_TRUE(menu);
    QStringList titles;
    for (QAction* item : menu->actions())
        titles.append(item->text());
    EXPECT_EQ(titles, QStringList({"Primary Address", "1st Address", "2nd Address", "Home Address",
                                   "Work Address"}));
    EXPECT_TRUE(menu->isVisible());

    // Choosing closes the menu first, as a menu does.
    menu->hide();
    menu->actions().at(3)->trigger();
    EXPECT_EQ(delivery->addressIndexForContactUID(QStringLiteral("uid-1"), nullptr), 3);
    EXPECT_EQ(delivery->addressIndexForContactUID(QStringLiteral("uid-0"), nullptr), -1);
    EXPECT_TRUE(document->isDocumentEdited());
    EXPECT_FALSE(preview.contactUIDForAddressMenu().has_value());
    QCoreApplication::processEvents();
    EXPECT_EQ(preview.addressMenuButton(), nullptr);
    preview.removeTextPopupButton(); // twice is harmless

    // Closed without a choice: nothing stored, the button goes.
    preview.clickAtPoint(sheet.topLeft() + cellOrigin(0, 0) + QPointF(20, 20));
    ASSERT_TRUE(preview.addressMenuButton());
    preview.addressMenuButton()->findChild<QMenu*>()->hide();
    QCoreApplication::processEvents();
    EXPECT_EQ(preview.addressMenuButton(), nullptr);
    EXPECT_EQ(delivery->addressIndexForContactUID(QStringLiteral("uid-0"), nullptr), -1);
}

TEST(ControlBarType, RollPrinterMakersAndFlags)
{
    const auto type = [](qint64 labelType, const char* maker) {
        QVariantMap layout{{DimensionInfo::labelType, labelType}};
        if (*maker)
            layout.insert(DimensionInfo::paperManufacturer, QString::fromLatin1(maker));
        return LBCreateController::controlsType(layout);
    };
    EXPECT_EQ(type(5, "DYMO"), 99);
    EXPECT_EQ(type(5, "Seiko"), 98);
    EXPECT_EQ(type(5, "Brother"), 97);
    EXPECT_EQ(type(6, "Avery"), 6);
    for (qint64 t : {0, 4, 97, 99})
        EXPECT_TRUE(LBCreateController::controlFlagsForType(t, false, false).sheet) << t;
    for (qint64 t : {5, 7, 17, 100})
        EXPECT_FALSE(LBCreateController::controlFlagsForType(t, false, false).sheet) << t;
    const LBCreateController::ControlFlags returnOnly =
        LBCreateController::controlFlagsForType(6, false, true);
    EXPECT_TRUE(returnOnly.envelope && returnOnly.address && !returnOnly.delivery);
}
