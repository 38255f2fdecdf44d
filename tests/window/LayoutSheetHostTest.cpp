// The window as the layout chooser's host: opening a chooser for a new document and to
// change the layout, dropping it, and a real hand-off through the apply operations.

#include "WindowTestSupport.h"

#include "layouts/LBLayoutSheetController.h"

#include <QCoreApplication>
#include <QPointer>

TEST_F(WindowTest, OpensAndDropsTheLayoutChooser)
{
    controller->openLayoutSheet(controller);
    QPointer<LBLayoutSheetController> first = controller->layoutSheetController();
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->isNewDocumentLayout());
    EXPECT_EQ(first->stepIndex(), LBLayoutSheetController::ProjectTypeStep);
    EXPECT_EQ(LBLayoutSheetController::openControllers(), QList<LBLayoutSheetController*>{first});

    // Changing the layout replaces it, restored from the description (no sheet named:
    // the custom size), and marks the document changed.
    document->setProjectDescription({{"ProjectType", 1}});
    controller->openLayoutSheet(nullptr);
    QPointer<LBLayoutSheetController> second = controller->layoutSheetController();
    ASSERT_TRUE(second);
    EXPECT_NE(second, first);
    EXPECT_FALSE(second->isNewDocumentLayout());
    EXPECT_EQ(second->stepIndex(), LBLayoutSheetController::CustomSizeStep);
    EXPECT_TRUE(document->isDocumentEdited());
    EXPECT_EQ(LBLayoutSheetController::openControllers(), QList<LBLayoutSheetController*>{second});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(first); // let go once the event was handled

    // Choosing: the layout applied, the chooser dropped, the description written.
    second->chooseDesignAction();
    EXPECT_FALSE(controller->layoutSheetController());
    EXPECT_TRUE(LBLayoutSheetController::openControllers().isEmpty());
    EXPECT_EQ(document->projectDescription().value("ProjectType"), 1);
    EXPECT_EQ(document->projectDescription().value("IsHorizontalDocType"), "YES");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(second);
}

TEST_F(WindowTest, QuittingLetsTheOpenChooserGoAtOnce)
{
    document->setProjectDescription({{"ProjectType", 1}});
    controller->openLayoutSheet(nullptr);
    QPointer<LBLayoutSheetController> chooser = controller->layoutSheetController();
    ASSERT_TRUE(chooser);
    LBLayoutSheetController::closeAllOpenControllers();
    EXPECT_FALSE(chooser); // released, its settings written, with no event loop to wait for
    EXPECT_FALSE(controller->layoutSheetController());
}
