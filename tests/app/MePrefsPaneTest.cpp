// The Me preference pane: the people order and rows, the word search, choosing the own
// card, the logo and signature wells and the signature made from the name.

#include "app/LBMePrefsPane.h"
#include "controls/LBDragImageView.h"
#include "platform/core/ContactStore.h"
#include "platform/core/NotificationCenter.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/Image.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>

#include <memory>

namespace {

using platform::ContactPerson;
using platform::ContactPersonPtr;

platform::UserDefaults& defaults()
{
    return platform::UserDefaults::standardUserDefaults();
}

struct Card
{
    const char* uid;
    const char* first;
    const char* last;
    const char* organization;
    bool company = false;
    const char* city = "";
};

std::shared_ptr<ContactPerson> person(const Card& card)
{
    auto p = std::make_shared<ContactPerson>();
    p->setUniqueId(QString::fromUtf8(card.uid));
    const std::pair<QString, const char*> values[] = {
        {platform::ContactFirstNameProperty, card.first},
        {platform::ContactLastNameProperty, card.last},
        {platform::ContactOrganizationProperty, card.organization},
        {platform::ContactNoteProperty, card.city}};
    for (const auto& [property, value] : values)
        if (*value)
            p->setValue(property, QString::fromUtf8(value));
    p->setFlags(card.company ? 1 : 0);
    p->finish();
    return p;
}

QStringList uids(const QList<ContactPersonPtr>& people)
{
    QStringList list;
    for (const ContactPersonPtr& p : people)
        list << p->uniqueId();
    return list;
}

const Card cards[] = {
    {"ann", "Ann", "Smith", "", false, "Boston"},
    {"bob", "bob", "Adams", "Zeta", false, "Smithfield"},
    {"acme", "", "", "Acme", true, ""},
    {"none", "", "", "", false, ""},
    {"carl", "Carl", "smith", "", false, "Annapolis"},
};

class MePrefsPane : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto store = std::make_unique<platform::ContactStore>();
        for (const Card& card : cards)
            store->addPerson(person(card));
        platform::ContactStore::setSharedStore(std::move(store));
        for (const char* key : {"My Person ID", "My Logo", "My Signature", "Contact Sort Field",
                                "Display First Name First"})
            defaults().removeObjectForKey(QString::fromLatin1(key));
        defaults().setBool(true, "Display First Name First");
        view.reset(pane.loadMainView());
        pane.mainViewDidLoad();
    }
    void TearDown() override
    {
        view.reset();
        platform::ContactStore::setSharedStore(nullptr);
        for (const char* key : {"My Person ID", "My Logo", "My Signature", "Contact Sort Field",
                                "Display First Name First"})
            defaults().removeObjectForKey(QString::fromLatin1(key));
    }
    // Chooses a picture file of that size and colour for the logo or the signature well.
    bool choosePicture(const QString& name, QSize size, const QColor& colour, bool signature)
    {
        QImage picture(size, QImage::Format_ARGB32);
        picture.fill(colour);
        const QString path = folder.path() + QLatin1Char('/') + name;
        return picture.save(path) && pane.setImageFromFile(path, signature);
    }
    QTemporaryDir folder;
    LBMePrefsPane pane;
    std::unique_ptr<QWidget> view; // goes first: its controls call the pane
};

} // namespace

TEST_F(MePrefsPane, OrdersPeopleBySortFieldWithMissingKeysFirst)
{
    struct Case
    {
        qint64 field;
        QStringList order;
    };
    // The card with no key at all comes first; ties go to the second key.
    const Case cases[] = {
        {0, {"none", "acme", "bob", "ann", "carl"}},
        {3, {"none", "acme", "bob", "ann", "carl"}},
        {1, {"none", "acme", "ann", "bob", "carl"}},
        {2, {"none", "acme", "ann", "carl", "bob"}},
    };
    for (const Case& c : cases) {
        defaults().setInteger(c.field, "Contact Sort Field");
        pane.readAddressBook();
        EXPECT_EQ(uids(pane.people()), c.order) << c.field;
    }
}

TEST_F(MePrefsPane, RowsShowNamesInTheChosenOrder)
{
    const auto rows = [](bool firstNameFirst) {
        QStringList titles;
        for (const Card& card : cards)
            titles << LBMePrefsPane::rowTitle(*person(card), firstNameFirst);
        return titles;
    };
    EXPECT_EQ(rows(true),
              (QStringList{"Ann Smith", "bob Adams", "Acme", "(No Name)", "Carl smith"}));
    EXPECT_EQ(rows(false).first(), "Smith Ann");
    // One name alone shows that name.
    EXPECT_EQ(LBMePrefsPane::rowTitle(*person({"x", "", "Solo", ""}), true), "Solo");
}

TEST_F(MePrefsPane, SearchesEveryWordAsAPrefixOfSomeValue)
{
    platform::ContactStore* store = platform::ContactStore::sharedStore();
    const auto search = [&](const QString& text) {
        return uids(LBMePrefsPane::recordsMatchingSearchStr(text, store->people()));
    };
    EXPECT_EQ(search("smi"), (QStringList{"ann", "bob", "carl"})); // "Smithfield" counts
    EXPECT_EQ(search("smi ann"), (QStringList{"ann", "carl"}));    // "Annapolis" too
    EXPECT_EQ(search("ANN  SMITH"), (QStringList{"ann", "carl"}));
    EXPECT_EQ(search("mith"), QStringList()); // inside a word is no match
    EXPECT_EQ(search("").size(), 5);
    // Typed into the field: the table shows the matches, then everyone again.
    pane.searchField()->setText("bob");
    EXPECT_EQ(uids(pane.people()), QStringList{"bob"});
    pane.searchField()->clear();
    EXPECT_EQ(pane.people().size(), 5);
}

TEST_F(MePrefsPane, ChoosingTheOwnCardStoresItAndTellsTheWindows)
{
    int changed = 0;
    const platform::ObserverToken token = platform::NotificationCenter::defaultCenter().addObserver(
        LBMePersonChangedNotification, nullptr, [&](const platform::Notification&) { ++changed; });
    pane.makeMyCardAction(); // nothing selected: nothing happens
    EXPECT_EQ(changed, 0);
    const int row = int(uids(pane.people()).indexOf("carl"));
    pane.table()->setCurrentIndex(pane.table()->model()->index(row, 0));
    pane.makeMyCardAction();
    EXPECT_EQ(defaults().stringForKey("My Person ID"), "carl");
    EXPECT_EQ(changed, 1);
    // Read again (the contacts changed outside), the card stays selected.
    platform::NotificationCenter::defaultCenter().post(
        platform::ContactStoreChangedExternallyNotification);
    EXPECT_EQ(pane.selectedRow(), row);
}

TEST_F(MePrefsPane, WellsStoreTheirPicturesAndClearToEmptyData)
{
    ASSERT_TRUE(choosePicture("logo.png", QSize(40, 20), Qt::red, false));
    const QByteArray stored = defaults().dataForKey("My Logo");
    EXPECT_TRUE(stored.startsWith("II*") || stored.startsWith("MM")); // TIFF
    const auto back = platform::Image::fromData(stored);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->pixelsWide(), 40);
    EXPECT_TRUE(pane.logoWell()->containsImage());
    EXPECT_FALSE(pane.setImageFromFile(folder.path() + "/missing.png", false));

    pane.clearLogoAction();
    EXPECT_TRUE(defaults().objectForKey("My Logo").isValid());
    EXPECT_TRUE(defaults().dataForKey("My Logo").isEmpty());
    EXPECT_FALSE(pane.logoWell()->containsImage());

    // A PDF keeps its own bytes.
    const QByteArray pdf = "%PDF-1.4 not really drawable";
    const auto vector = platform::Image::fromData(pdf);
    ASSERT_NE(vector, nullptr);
    EXPECT_EQ(LBMePrefsPane::dataForImage(vector), pdf);
    EXPECT_TRUE(LBMePrefsPane::dataForImage(nullptr).isEmpty());
}

TEST_F(MePrefsPane, SignatureFromTheOwnNameAtOneEighth)
{
    // A signature the user chose from a file.
    ASSERT_TRUE(choosePicture("signature.png", QSize(60, 20), Qt::blue, true));
    const QByteArray chosen = defaults().dataForKey("My Signature");
    ASSERT_FALSE(chosen.isEmpty());
    // With no card of the user's, or one without a first and a last name, the button
    // waits, and pressed anyway it leaves that signature alone.
    for (const char* uid : {"", "gone", "acme"}) {
        defaults().setObject(QString::fromLatin1(uid), "My Person ID");
        pane.readAddressBook();
        EXPECT_FALSE(pane.createSignatureButton()->isEnabled()) << uid;
        pane.createSignatureButtonAction();
        EXPECT_EQ(defaults().dataForKey("My Signature"), chosen) << uid;
    }

    // "This Is Me" on a card with both names makes it available.
    const int row = int(uids(pane.people()).indexOf("ann"));
    pane.table()->setCurrentIndex(pane.table()->model()->index(row, 0));
    pane.makeMyCardAction();
    EXPECT_TRUE(pane.createSignatureButton()->isEnabled());
    pane.createSignatureButtonAction();
    const auto shown = pane.signatureWell()->image();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->size(), QSizeF(shown->pixelsWide(), shown->pixelsHigh()) / 8.0);
    EXPECT_GT(shown->pixelsWide(), shown->pixelsHigh());
    const auto stored = platform::Image::fromData(defaults().dataForKey("My Signature"));
    ASSERT_NE(stored, nullptr);
    EXPECT_NEAR(stored->size().width(), shown->size().width(), 0.5);
}
