#include "platform/text/FontManager.h"
#include "platform/ui/KXFontPreviewViewController.h"

#include <QApplication>
#include <QListView>
#include <QPointer>
#include <QSet>
#include <QSignalSpy>
#include <QSlider>

#include <gtest/gtest.h>

using platform::FontManager;

namespace {

FontManager& manager()
{
    return FontManager::sharedFontManager();
}

// An installed family with a bold face and a regular one, and its faces.
struct Family
{
    QString name;
    QString regular;
    QString bold;
};

std::optional<Family> familyWithBold()
{
    for (const QString& family : manager().availableFontFamilies()) {
        Family found{family, {}, {}};
        for (const FontManager::Member& member : manager().availableMembersOfFontFamily(family)) {
            if (member.italic)
                continue;
            if (member.weight == QFont::Bold)
                found.bold = member.faceName;
            else if (member.weight == QFont::Normal)
                found.regular = member.faceName;
        }
        if (!found.bold.isEmpty() && !found.regular.isEmpty())
            return found;
    }
    return std::nullopt;
}

} // namespace

TEST(FontManager, FamiliesAreSortedWithoutRegardToCase)
{
    const QStringList families = manager().availableFontFamilies();
    ASSERT_FALSE(families.isEmpty());
    EXPECT_TRUE(std::is_sorted(families.begin(), families.end(), FontManager::compareFontNames));
    EXPECT_TRUE(FontManager::compareFontNames(QStringLiteral("apple"), QStringLiteral("Banana")));
    EXPECT_TRUE(FontManager::compareFontNames(QStringLiteral("Apple"), QStringLiteral("apple")));
    EXPECT_FALSE(FontManager::compareFontNames(QStringLiteral("apple"), QStringLiteral("Apple")));
    EXPECT_TRUE(manager().availableMembersOfFontFamily(QStringLiteral("No Such Family")).isEmpty());
}

TEST(FontManager, AFamilyOfSeveralFoundriesIsListedOnceByItsName)
{
    struct Case
    {
        const char* given;
        const char* listed;
    } cases[] = {{"C059 [UKWN]", "C059"},
                 {"Nimbus Sans [urw]", "Nimbus Sans"},
                 {"DejaVu Sans", "DejaVu Sans"},
                 {"[odd]", "[odd]"},
                 {"Brackets [in] Name", "Brackets [in] Name"}};
    for (const Case& c : cases)
        EXPECT_EQ(FontManager::familyWithoutFoundry(QString::fromUtf8(c.given)),
                  QString::fromUtf8(c.listed))
            << c.given;
    const QStringList families = manager().availableFontFamilies();
    EXPECT_EQ(families.size(), QSet<QString>(families.begin(), families.end()).size());
    for (const QString& family : families) {
        EXPECT_EQ(FontManager::familyWithoutFoundry(family), family);
        EXPECT_FALSE(manager().availableMembersOfFontFamily(family).isEmpty())
            << family.toStdString();
    }
}

TEST(FontManager, FacesAndConversionsKeepWhatTheTargetHas)
{
    const std::optional<Family> family = familyWithBold();
    ASSERT_TRUE(family) << "no installed family with regular and bold faces";
    const std::optional<QFont> bold = manager().fontWithFamily(family->name, family->bold, 10.5);
    ASSERT_TRUE(bold);
    EXPECT_EQ(manager().faceNameForFont(*bold), family->bold);
    EXPECT_EQ(bold->pointSizeF(), 10.5);
    EXPECT_FALSE(manager().fontWithFamily(family->name, QStringLiteral("No Such Face"), 10));

    // By weight and slant when the font names no face; the first face when nothing fits.
    QFont byWeight;
    byWeight.setFamilies({family->name});
    byWeight.setWeight(QFont::Bold);
    EXPECT_EQ(manager().faceNameForFont(byWeight), family->bold);
    QFont unknown;
    unknown.setFamilies({family->name});
    unknown.setStyleName(QStringLiteral("No Such Face"));
    unknown.setWeight(QFont::Weight(150));
    EXPECT_EQ(manager().faceNameForFont(unknown),
              manager().availableMembersOfFontFamily(family->name).first().faceName);

    // Face and size conversions; a face the family lacks, or a size of 0, changes nothing.
    const QFont regular = manager().convertFontToFace(*bold, family->regular);
    EXPECT_EQ(manager().faceNameForFont(regular), family->regular);
    EXPECT_EQ(regular.pointSizeF(), 10.5);
    EXPECT_EQ(manager().convertFontToFace(*bold, QStringLiteral("No Such Face")), *bold);
    EXPECT_EQ(manager().convertFontToSize(*bold, 14).pointSizeF(), 14);
    EXPECT_EQ(manager().convertFontToSize(*bold, 0), *bold);

    // Another family keeps the bold face where it has one of that weight.
    const std::optional<Family> other = [&]() -> std::optional<Family> {
        for (const QString& name : manager().availableFontFamilies())
            if (name != family->name)
                for (const auto& member : manager().availableMembersOfFontFamily(name))
                    if (member.weight == QFont::Bold && !member.italic)
                        return Family{name, {}, member.faceName};
        return std::nullopt;
    }();
    if (other) {
        const QFont moved = manager().convertFontToFamily(*bold, other->name);
        EXPECT_EQ(moved.families().first(), other->name);
        EXPECT_EQ(moved.weight(), QFont::Bold);
        EXPECT_EQ(moved.pointSizeF(), 10.5);
    }
    EXPECT_EQ(manager().convertFontToFamily(*bold, QStringLiteral("No Such Family")), *bold);
}

TEST(KXFontPreviewViewController, ChoosingAFamilyOrASizeIsReportedAndTheFontFollows)
{
    KXFontPreviewViewController preview;
    EXPECT_EQ(preview.view()->objectName(), "HUDFontPreviewView");
    EXPECT_EQ(preview.families(), manager().availableFontFamilies());
    EXPECT_FALSE(preview.selectedFont());
    QSignalSpy fonts(&preview, &KXFontPreviewViewController::selectedFontChanged);
    QSignalSpy sizes(&preview, &KXFontPreviewViewController::previewFontSizeChanged);

    preview.selectFamilyAtRow(1);
    ASSERT_EQ(fonts.count(), 1);
    ASSERT_TRUE(preview.selectedFont());
    EXPECT_EQ(preview.selectedFont()->families().first(), preview.families().at(1));
    EXPECT_EQ(preview.selectedFont()->pointSizeF(), preview.previewFontSize());

    preview.sizeSlider()->setValue(40);
    EXPECT_EQ(sizes.count(), 1);
    EXPECT_EQ(preview.previewFontSize(), 40);
    EXPECT_EQ(preview.selectedFont()->pointSizeF(), 40);

    // A font set from outside selects its family and takes its size.
    QFont font;
    font.setFamilies({preview.families().first()});
    font.setPointSizeF(18);
    preview.setSelectedFont(font);
    EXPECT_EQ(preview.familyList()->currentIndex().row(), 0);
    EXPECT_EQ(preview.previewFontSize(), 18);
    EXPECT_EQ(preview.sizeSlider()->value(), 18);

    preview.setPreviewString(QStringLiteral("two\nlines"));
    EXPECT_EQ(preview.previewString(), "two lines");
}

TEST(KXFontPreviewViewController, ItsViewGoesWithItAlsoFromTheOwnersWidgets)
{
    // The owner takes the view into its own widgets; the rows are drawn from the
    // controller's preview size and a scroll waits for the next turn of the event loop.
    QWidget owner;
    owner.resize(400, 300);
    auto* preview = new KXFontPreviewViewController;
    ASSERT_FALSE(preview->families().isEmpty());
    const QPointer<QWidget> view = preview->view();
    view->setParent(&owner);
    view->resize(owner.size());
    owner.show();
    QFont font;
    font.setFamilies({preview->families().last()});
    preview->setSelectedFont(font);
    delete preview;
    EXPECT_TRUE(view.isNull());
    QApplication::processEvents();
    owner.repaint();
}
