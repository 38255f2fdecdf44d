// The contact columns' model: groups, people of a group, sort orders, names, search,
// the selected people and the tables that show them.

#include "MergeFieldsSupport.h"

#include "merge/LBContactColumns.h"
#include "platform/core/ContactStore.h"
#include "platform/ui/Alert.h"

#include <QItemSelectionModel>
#include <QPushButton>
#include <QTableView>

namespace {

QStringList displayNames(const QList<platform::ContactPersonPtr>& people)
{
    QStringList list;
    for (const auto& p : people)
        list.append(LBMergeServices::displayName(*p, true, 0));
    return list;
}

} // namespace

class ContactColumnsTest : public MergeFieldsTest
{
protected:
    ContactColumnsTest()
    {
        defaults().setInteger(0, QStringLiteral("Contact Sort Field"));
        defaults().setBool(true, QStringLiteral("Display First Name First"));
    }
    ~ContactColumnsTest() override
    {
        defaults().removeObjectForKey(QStringLiteral("Contact Sort Field"));
        defaults().removeObjectForKey(QStringLiteral("Display First Name First"));
    }
    platform::ContactPersonPtr person(const QString& lines)
    {
        return addCards(card(lines)).first();
    }
};

TEST_F(ContactColumnsTest, SortOrdersAndTheirTieBreaks)
{
    const QList<platform::ContactPersonPtr> people{
        person(QStringLiteral("N:Smith;Ann\nADR:;;1 A St;X;;20000;")),
        person(QStringLiteral("N:smith;Adam")),
        person(QStringLiteral("N:Brown;Zoe\nADR:;;2 B St;X;;10000;")),
        person(QStringLiteral("ORG:Acme\nKIND:org")),
        person(QStringLiteral("N:;Cher\nADR:;;3 C St;X;;20000;")),
        person(QStringLiteral("NOTE:nobody")),
    };
    struct Case
    {
        qint64 field;
        QStringList order;
    } cases[] = {
        {0, {"(No Name)", "Acme", "Zoe Brown", "Cher", "Adam smith", "Ann Smith"}},
        {1, {"(No Name)", "Acme", "Adam smith", "Ann Smith", "Cher", "Zoe Brown"}},
        {2, {"(No Name)", "Acme", "Zoe Brown", "Cher", "Adam smith", "Ann Smith"}},
        // With a ZIP first; the same ZIP by last name; then the others by their keys.
        {3, {"(No Name)", "Zoe Brown", "Ann Smith", "Cher", "Acme", "Adam smith"}},
        {7, {"Ann Smith", "Adam smith", "Zoe Brown", "Acme", "Cher", "(No Name)"}},
    };
    for (const Case& c : cases) {
        QList<platform::ContactPersonPtr> sorted = people;
        LBMergeServices::sortPeople(sorted, c.field);
        EXPECT_EQ(displayNames(sorted), c.order) << "sort field " << c.field;
    }
}

// Keys alike in their first eight characters, keys that are the beginning of others,
// letters outside ASCII, and a card with an organization and no name (a company).
TEST_F(ContactColumnsTest, SortComparesWholeKeys)
{
    const QList<platform::ContactPersonPtr> people{
        person(QStringLiteral("N:Richardson;Bea")), person(QStringLiteral("N:Richards;Al")),
        person(QStringLiteral("N:RICHARDSEN;Cy")),  person(QStringLiteral("N:Richardson;Al")),
        person(QStringLiteral("N:\u00c9mile;Dee")), person(QStringLiteral("N:Emile;Eve")),
        person(QStringLiteral("ORG:Richardsons")),
    };
    QList<platform::ContactPersonPtr> sorted = people;
    LBMergeServices::sortPeople(sorted, 0);
    EXPECT_EQ(displayNames(sorted),
              (QStringList{"Eve Emile", "Al Richards", "Cy RICHARDSEN", "Al Richardson",
                           "Bea Richardson", "Richardsons", "Dee \u00c9mile"}));
}

TEST_F(ContactColumnsTest, NamesInThePeopleColumn)
{
    const auto p = person(QStringLiteral("N:Lee;Ann;Marie\nADR:;;1 A St;X;;90210;"));
    EXPECT_EQ(LBMergeServices::displayName(*p, true, 0), QStringLiteral("Ann Marie Lee"));
    EXPECT_EQ(LBMergeServices::displayName(*p, false, 0), QStringLiteral("Lee Ann Marie"));
    EXPECT_EQ(LBMergeServices::displayName(*p, true, 3), QStringLiteral("Ann Marie Lee - 90210"));
    const auto company = person(QStringLiteral("N:Lee;Ann\nORG:Acme\nKIND:org"));
    EXPECT_EQ(LBMergeServices::displayName(*company, true, 0), QStringLiteral("Acme"));
    EXPECT_EQ(LBMergeServices::displayName(*person(QStringLiteral("N:Solo")), false, 0),
              QStringLiteral("Solo"));
}

TEST_F(ContactColumnsTest, SearchKeepsPeopleMatchingEveryWord)
{
    const auto annSmith = person(QStringLiteral("N:Smith;Ann"));
    const auto annJones = person(QStringLiteral("N:Jones;Ann\nNOTE:smiles a lot"));
    const auto bob = person(QStringLiteral("N:Smith;Bob"));
    Q_UNUSED(bob);
    EXPECT_EQ(services->recordsMatchingSearchStr(QStringLiteral("ann smi"), std::nullopt),
              (QList<platform::ContactPersonPtr>{annSmith, annJones}));
    EXPECT_EQ(services->recordsMatchingSearchStr(QStringLiteral("ann  smith"), std::nullopt),
              (QList<platform::ContactPersonPtr>{annSmith}));
    EXPECT_EQ(services->recordsMatchingSearchStr(QStringLiteral("ann"),
                                                 QList<platform::ContactPersonPtr>{annJones}),
              (QList<platform::ContactPersonPtr>{annJones}));
    EXPECT_TRUE(services->recordsMatchingSearchStr(QStringLiteral("zed"), std::nullopt).isEmpty());
    EXPECT_EQ(services->recordsMatchingSearchStr(QString(), QList<platform::ContactPersonPtr>{bob}),
              (QList<platform::ContactPersonPtr>{bob}));
    // The intersection walks the shorter list.
    EXPECT_EQ(LBMergeServices::unionArray({annSmith, annJones, bob}, {bob, annSmith}),
              (QList<platform::ContactPersonPtr>{bob, annSmith}));
}

TEST_F(ContactColumnsTest, SelectedPeopleOfGroupsSubgroupsAndRows)
{
    const auto ann = person(QStringLiteral("N:Smith;Ann"));
    const auto bob = person(QStringLiteral("N:Brown;Bob"));
    const auto cy = person(QStringLiteral("N:Cole;Cy"));
    auto close = std::make_shared<platform::ContactGroup>();
    close->name = QStringLiteral("Close");
    close->members = {cy, ann};
    auto friends = std::make_shared<platform::ContactGroup>();
    friends->name = QStringLiteral("friends");
    friends->members = {ann, bob};
    friends->subgroups = {close};
    auto work = std::make_shared<platform::ContactGroup>();
    work->name = QStringLiteral("Work");
    store.addGroup(work);
    store.addGroup(friends);
    services->readAddressBook();
    // "All", then every group by name.
    EXPECT_EQ(services->numberOfGroupRows(), 4);
    EXPECT_EQ(services->groupRowText(1), QStringLiteral("Close"));
    EXPECT_EQ(services->groupRowText(2), QStringLiteral("friends"));
    // All: everyone sorted, the first row selected.
    EXPECT_EQ(displayNames(services->selectedPeople()), QStringList{"Bob Brown"});
    services->selectPeopleRows({});
    EXPECT_EQ(displayNames(services->selectedPeople()),
              (QStringList{"Bob Brown", "Cy Cole", "Ann Smith"}));
    EXPECT_EQ(services->selectedCountText(), QStringLiteral("3 people selected"));
    // A group with a subgroup, no rows: the subgroup's members, then the group's, each
    // sorted; a person in both twice.
    services->selectGroupRow(2);
    EXPECT_EQ(services->numberOfPeopleRows(), 3);
    EXPECT_EQ(services->peopleRowText(0), QStringLiteral("Close"));
    EXPECT_EQ(services->peopleRowIcon(0), LBMergeServices::RowIcon::Group);
    services->selectPeopleRows({});
    EXPECT_EQ(displayNames(services->selectedPeople()),
              (QStringList{"Cy Cole", "Ann Smith", "Bob Brown", "Ann Smith"}));
    // Rows: a subgroup row adds its members, a person row the person.
    services->selectPeopleRows({2, 0});
    EXPECT_EQ(displayNames(services->selectedPeople()),
              (QStringList{"Cy Cole", "Ann Smith", "Ann Smith"}));
    // The search narrows the people of the group, not a subgroup's members.
    services->processContactSearchStr(QStringLiteral("bob"));
    EXPECT_EQ(services->numberOfPeopleRows(), 2);
    EXPECT_EQ(services->selectedCountText(), QStringLiteral("2 people selected"));
    services->selectPeopleRows({1});
    EXPECT_EQ(services->selectedCountText(), QStringLiteral("1 person selected"));
    // An empty group.
    services->processContactSearchStr(QString());
    services->selectGroupRow(3);
    EXPECT_TRUE(services->selectedPeople().isEmpty());
    EXPECT_EQ(services->selectedCountText(), QStringLiteral("0 people selected"));
}

// A new order or a group added above keeps the people chosen, by who they are; a list
// that no longer holds them selects its first row; no row chosen (the whole group) stays so.
TEST_F(ContactColumnsTest, TheSelectionFollowsThePeopleWhenTheListsAreMadeAgain)
{
    const auto ann = person(QStringLiteral("UID:ann\nN:Smith;Ann"));
    const auto bob = person(QStringLiteral("UID:bob\nN:Brown;Bob"));
    const auto cy = person(QStringLiteral("UID:cy\nN:Cole;Cy"));
    auto work = std::make_shared<platform::ContactGroup>();
    work->name = QStringLiteral("Work");
    work->members = {ann, bob, cy};
    store.addGroup(work);
    services->readAddressBook();
    services->selectGroupRow(1);
    services->selectPeopleRows({1, 2}); // Cy Cole, Ann Smith by last name
    const QStringList chosen{"Cy Cole", "Ann Smith"};
    ASSERT_EQ(displayNames(services->selectedPeople()), chosen);

    // By first name the rows are others; the people are the same.
    defaults().setInteger(1, QStringLiteral("Contact Sort Field"));
    services->handleSortOrderChange();
    EXPECT_EQ(services->selectedPeopleRows(), (QList<qint64>{0, 2}));
    EXPECT_EQ(displayNames(services->selectedPeople()), (QStringList{"Ann Smith", "Cy Cole"}));

    // A group sorted above "Work" moves its row; the group and people stay.
    auto clubs = std::make_shared<platform::ContactGroup>();
    clubs->name = QStringLiteral("Clubs");
    store.addGroup(clubs);
    services->readAddressBook();
    EXPECT_EQ(services->groupRowText(services->selectedGroupRow()), QStringLiteral("Work"));
    EXPECT_EQ(displayNames(services->selectedPeople()), (QStringList{"Ann Smith", "Cy Cole"}));

    // Neither of them left in the group: its first row.
    work->members = {bob};
    services->readAddressBook();
    EXPECT_EQ(displayNames(services->selectedPeople()), QStringList{"Bob Brown"});

    // The whole group, no row chosen.
    work->members = {ann, bob};
    services->readAddressBook();
    services->selectPeopleRows({});
    services->readAddressBook();
    EXPECT_TRUE(services->selectedPeopleRows().isEmpty());
    EXPECT_EQ(services->selectedPeople().size(), 2);
}

TEST_F(ContactColumnsTest, OwnCardIsMarkedAndFollowsThePreference)
{
    person(QStringLiteral("UID:a\nN:Able;Al"));
    person(QStringLiteral("UID:b\nN:Baker;Bo"));
    defaults().setObject(QStringLiteral("b"), QStringLiteral("My Person ID"));
    services->readAddressBook();
    EXPECT_EQ(services->meIndex(), 1);
    EXPECT_EQ(services->peopleRowIcon(1), LBMergeServices::RowIcon::SelfPerson);
    defaults().setObject(QStringLiteral("a"), QStringLiteral("My Person ID"));
    EXPECT_EQ(services->mePerson()->uniqueId(), QStringLiteral("b")); // cached
    platform::NotificationCenter::defaultCenter().post(
        QStringLiteral("LBMePersonChangedNotification"));
    services->mePersonChanged();
    EXPECT_EQ(services->mePerson()->uniqueId(), QStringLiteral("a"));
}

TEST_F(ContactColumnsTest, TablesShowTheModelAndTellItTheirSelection)
{
    person(QStringLiteral("N:Smith;Ann"));
    person(QStringLiteral("N:Brown;Bob"));
    QWidget groupPane;
    QWidget peoplePane;
    services->readAddressBook();
    LBContactColumns columns(*services, &groupPane, &peoplePane);
    services->selectionDidChange = [&] {
        if (!columns.isUpdating())
            columns.reload();
    };
    EXPECT_EQ(columns.groupTable()->model()->rowCount(), 1);
    EXPECT_EQ(columns.personTable()->model()->data(columns.personTable()->model()->index(1, 0)),
              QVariant(QStringLiteral("Ann Smith")));
    EXPECT_EQ(columns.personTable()->selectionModel()->selectedRows().size(), 1);
    QItemSelection both(columns.personTable()->model()->index(0, 0),
                        columns.personTable()->model()->index(1, 0));
    columns.personTable()->selectionModel()->select(both, QItemSelectionModel::ClearAndSelect
                                                              | QItemSelectionModel::Rows);
    EXPECT_EQ(services->selectedPeople().size(), 2);
    // A search from the model reloads the tables.
    services->processContactSearchStr(QStringLiteral("ann"));
    EXPECT_EQ(columns.personTable()->model()->rowCount(), 1);
    columns.setTableFontSize(1);
    EXPECT_EQ(columns.personTable()->font().pointSize(), 13);
}

TEST_F(ContactColumnsTest, OpenContactsFolderSaysWhereTheContactsGoWhenNothingShowsIt)
{
    // The test platform opens no folders, as a system without a file manager.
    QWidget groupPane;
    QWidget peoplePane;
    LBContactColumns columns(*services, &groupPane, &peoplePane);
    QStringList said;
    platform::Alert::setResponder([&said](const platform::Alert& alert, QWidget*) {
        said << alert.messageText << alert.informativeText;
        return platform::Alert::Response{platform::Alert::FirstButtonReturn, false};
    });
    columns.addressBookButton()->click();
    platform::Alert::setResponder({});
    ASSERT_EQ(said.size(), 2);
    EXPECT_EQ(said[0], QStringLiteral("The contacts folder could not be opened."));
    QString folder;
    platform::ContactStore::launchContactsFolder(&folder);
    EXPECT_TRUE(said[1].contains(QStringLiteral("\u201c%1\u201d").arg(folder)))
        << said[1].toStdString();
}
