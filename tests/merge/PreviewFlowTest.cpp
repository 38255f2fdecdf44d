// From contacts to paper through preview: people read from a folder of cards fill an
// address block on a sheet of labels; one label's text is changed in preview, and the
// exported PDF carries that text on that label and the merged text on the others.

#include "MergeFieldsSupport.h"
#include "PreviewSupport.h"

#include "layouts/LBPageView.h"
#include "merge/LBTextEditorView.h"
#include "platform/core/TextForms.h"
#include "platform/text/TextStorage.h"

#include <poppler-qt6.h>

namespace {

// The PDF's text inside the rectangle (points, y downwards) of page 0.
QString textIn(const QByteArray& pdf, const QRectF& rect)
{
    const auto document = Poppler::Document::loadFromData(pdf);
    if (!document)
        return QString();
    const auto page = document->page(0);
    return page ? page->text(rect) : QString();
}

} // namespace

class PreviewFlowTest : public WindowTest
{
protected:
    PreviewFlowTest()
    {
        loadShippedFieldLists();
        registerMergeClasses();
        QString error;
        store = platform::ContactStore::readFolder(
            QStringLiteral(VELTRIN_TEST_DATA "/preview-people"), nullptr, &error);
        EXPECT_TRUE(store) << error.toStdString();
        MergeServices::setFactory([this](LBWindowController& window) {
            auto made = std::make_unique<LBMergeServices>(window);
            made->setContactStore(store.get());
            services = made.get();
            return made;
        });
        document->setOpenedExistingFile(true);
    }
    ~PreviewFlowTest() override
    {
        MergeServices::setFactory({});
        SheetRenderer::setFactory({});
    }

    platform::ContactPersonPtr person(const QString& lastName) const
    {
        for (const platform::ContactPersonPtr& p : store->people()) {
            if (p->value(platform::ContactLastNameProperty).toString() == lastName)
                return p;
        }
        ADD_FAILURE() << lastName.toStdString();
        return nullptr;
    }
    // Cell n's rectangle (from 1, row by row) on the sheet, in points.
    QRectF cell(qint64 n) const
    {
        const QVariantMap& info = document->dimensionInfo();
        const auto real = [&](const QString& key) { return DimensionInfo::real(info, key); };
        const qint64 columns = DimensionInfo::integer(info, DimensionInfo::numColumns);
        const qint64 row = (n - 1) / columns;
        const qint64 column = (n - 1) % columns;
        return QRectF(
            real(DimensionInfo::leftMargin)
                + column * (real(DimensionInfo::labelWidth) + real(DimensionInfo::hLabelSpace)),
            real(DimensionInfo::topMargin)
                + row * (real(DimensionInfo::labelHeight) + real(DimensionInfo::vLabelSpace)),
            real(DimensionInfo::labelWidth), real(DimensionInfo::labelHeight));
    }

    PreviewScope scope;
    std::unique_ptr<platform::ContactStore> store;
    LBMergeServices* services = nullptr;
};

TEST_F(PreviewFlowTest, AnEditedLabelIsExportedWithItsTextAndTheOthersMerged)
{
    ASSERT_TRUE(store);
    ASSERT_EQ(store->people().size(), 4);
    controller->mergeServices();
    // The design: a pre-formatted address block.
    const auto block = services->textObjForPreformattedFieldStr(QStringLiteral("Name"));
    ASSERT_TRUE(block);
    document->undoManager()->disableUndoRegistration();
    document->insertGraphic(block, 0, 1);
    document->undoManager()->enableUndoRegistration();

    LBCreateController* preview = PreviewScope::open(*controller, QSize(1000, 900));
    ASSERT_TRUE(preview);
    services->setSelectedPeople({person("Archer"), person("Brown"), person("Cole")});
    controller->scanGraphicsForContactFields();
    ASSERT_EQ(controller->numSelectedPeople(), 3);
    preview->updateViewWithNewRenderingView(true);
    ASSERT_EQ(preview->renderingViews().size(), 1);

    // The preview shows the three labels: ink in cells 1-3, none in cell 4.
    LBRenderingView* sheet = preview->renderingViews().first();
    ASSERT_TRUE(waitFor([&] { return sheet->drawingEnabled(); }));
    const QImage shown = sheet->grab().toImage();
    const auto inked = [&](qint64 n) {
        const QRect r = cell(n).toRect();
        for (int y = r.top(); y < r.bottom(); y += 2)
            for (int x = r.left(); x < r.right(); x += 2)
                if (qGray(shown.pixel(x, y)) < 100)
                    return true;
        return false;
    };
    EXPECT_TRUE(inked(1));
    EXPECT_TRUE(inked(2));
    EXPECT_TRUE(inked(3));
    EXPECT_FALSE(inked(4));

    // Unlocked, a click on label 2 opens its merged text for editing.
    controller->lockTextAction(nullptr);
    ASSERT_FALSE(controller->textIsLocked());
    const QPointF at = preview->sheetRect(0).topLeft() + cell(2).topLeft()
                       + block->bounds().topLeft() + QPointF(5, 5);
    pressInPageView(*preview, at);
    ASSERT_TRUE(waitFor([&] { return preview->textEditor() != nullptr; }));
    const QString merged = preview->textEditor()->textStorage()->attributedString().string();
    EXPECT_TRUE(merged.startsWith(QStringLiteral("Bea Brown"))) << merged.toStdString();
    EXPECT_TRUE(merged.contains(QStringLiteral("7 Oak Lane"))) << merged.toStdString();
    preview->textEditor()->textStorage()->setAttributedString(
        testText(QStringLiteral("Edited Label Two")));
    preview->closeTextEditor();

    // The export: label 2 carries the edit, labels 1 and 3 their merged addresses.
    QString error;
    const QByteArray pdf = services->exportDataForResolution(72, 0, 5, 0.8, true, &error);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    const QString two = textIn(pdf, cell(2));
    EXPECT_TRUE(two.contains(QStringLiteral("Edited Label Two"))) << two.toStdString();
    EXPECT_FALSE(two.contains(QStringLiteral("Brown"))) << two.toStdString();
    const QString one = textIn(pdf, cell(1));
    EXPECT_TRUE(one.contains(QStringLiteral("Ada Archer"))) << one.toStdString();
    EXPECT_TRUE(one.contains(QStringLiteral("12 Elm Street"))) << one.toStdString();
    const QString three = textIn(pdf, cell(3));
    EXPECT_TRUE(three.contains(QStringLiteral("Cyd Cole"))) << three.toStdString();
    EXPECT_TRUE(textIn(pdf, cell(4)).trimmed().isEmpty());
}
