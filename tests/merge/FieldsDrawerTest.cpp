// The fields pane of the design drawer: the address-book field tree built from contacts, the
// pane's modes and menu, expansion memory, dragging fields out, inserting a field into the
// text being edited, and the row backgrounds.

#include "../graphics/TextAreaTestSupport.h"
#include "../window/WindowTestSupport.h"
#include "MergeFieldsSupport.h"

#include "canvas/LBFieldRanges.h"
#include "canvas/LBGraphicView.h"
#include "canvas/LBTextView.h"
#include "controls/LBFieldCell.h"
#include "document/LBDocument.h"
#include "graphics/LBProcessState.h"
#include "graphics/LBTextArea.h"
#include "merge/LBFieldOutlineView.h"
#include "merge/LBFieldsController.h"
#include "merge/LBMergeServices.h"
#include "merge/MergeClasses.h"
#include "platform/core/ContactStore.h"
#include "platform/core/PropertyList.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/Image.h"
#include "platform/text/AttributedString.h"
#include "platform/ui/Drag.h"
#include "platform/ui/Pasteboard.h"
#include "platform/ui/Responder.h"
#include "platform/ui/SegmentedControl.h"
#include "shapes/LBBarcodeImage.h"
#include "shapes/LBImage.h"
#include "shapes/ShapeClasses.h"
#include "window/ApplicationServices.h"
#include "window/DrawerBrowser.h"
#include "window/LBDrawerController.h"
#include "window/LBEditController.h"
#include "window/LBWindowController.h"

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QtTest/QTest>

#include <gtest/gtest.h>

using List = LBProcessState::FieldsList;
using platform::ContactStore;

namespace {

platform::UserDefaults& settings()
{
    return platform::UserDefaults::standardUserDefaults();
}

QVariantMap field(const QString& name, const QString& property, qint64 type = 0)
{
    return {{QStringLiteral("fieldName"), name},
            {QStringLiteral("propertyName"), property},
            {QStringLiteral("propertyType"), type}};
}

QVariantMap group(const QString& name, const QVariantList& children)
{
    return {{QStringLiteral("fieldName"), name}, {QStringLiteral("childArray"), children}};
}

QString nameOf(const QVariant& node)
{
    return node.toMap().value(QStringLiteral("fieldName")).toString();
}

// The nodes of one property, in list order.
QVariantList nodesOf(const QVariantList& nodes, const QString& property)
{
    QVariantList found;
    for (const QVariant& node : nodes) {
        if (node.toMap().value(QStringLiteral("propertyName")) == property)
            found.append(node);
    }
    return found;
}

std::unique_ptr<ContactStore> fixtureStore()
{
    QList<platform::ContactReadIssue> issues;
    QString error;
    auto store = ContactStore::readFolder(QStringLiteral(VELTRIN_TEST_DATA "/fieldsdrawer"),
                                          &issues, &error);
    EXPECT_TRUE(store) << error.toStdString();
    EXPECT_TRUE(issues.isEmpty());
    return store;
}

// The shell's preferences, recording the pane asked for.
class PreferencesServices : public ApplicationServices
{
public:
    void setDocumentWasOpened(bool) override {}
    void selectPrefPaneNamed(const QString& name) override { panes.append(name); }
    QStringList panes;
};

// Keeps the process-wide field lists, the drawer mode and the contacts of a test to itself:
// small lists of its own and the contacts of the fixture folder.
class FieldListsScope
{
public:
    FieldListsScope()
    {
        for (List list : {List::Standard, List::My, List::Misc, List::Custom})
            _kept.append(LBProcessState::fieldsList(list));
        settings().removeObjectForKey(QStringLiteral("Fields Drawer Mode"));
        LBProcessState::fieldsList(List::Standard) = {
            group(QStringLiteral("Name"),
                  {field(QStringLiteral("First Name"), QStringLiteral("First")),
                   field(QStringLiteral("Last Name"), QStringLiteral("Last"))}),
            group(QStringLiteral("Other"),
                  {field(QStringLiteral("Picture"), QStringLiteral("kLBQPictureProperty"), 9),
                   field(QStringLiteral("Note"), QStringLiteral("Note"))})};
        LBProcessState::fieldsList(List::My) = {
            group(QStringLiteral("Name"),
                  {field(QStringLiteral("My First Name"), QStringLiteral("First"))}),
            group(QStringLiteral("Sender"),
                  {field(QStringLiteral("My Logo"), QStringLiteral("kLBQIdentityLogoProperty"), 9),
                   field(QStringLiteral("My Picture"), QStringLiteral("kLBQPictureProperty"), 9)})};
        LBProcessState::fieldsList(List::Misc) = {group(
            QStringLiteral("Barcodes"),
            {field(QStringLiteral("Code128 Barcode"), QStringLiteral("kLBCode128Property"), 12),
             field(QStringLiteral("POSTNET Barcode"), QStringLiteral("kLBPOSTNETProperty"), 12),
             field(QStringLiteral("Family"), QStringLiteral("kLBPreformattedAddressProperty"),
                   7)})};
        LBProcessState::fieldsList(List::Custom) = {};
        ContactStore::setSharedStore(fixtureStore());
    }
    ~FieldListsScope()
    {
        ApplicationServices::setShared(nullptr);
        ContactStore::setSharedStore(nullptr);
        settings().removeObjectForKey(QStringLiteral("Fields Drawer Mode"));
        const List lists[] = {List::Standard, List::My, List::Misc, List::Custom};
        for (int i = 0; i < 4; ++i)
            LBProcessState::fieldsList(lists[i]) = _kept.at(i);
    }

private:
    QList<QVariantList> _kept;
};

class FieldsDrawer : public ::testing::Test
{
protected:
    static void chooseMode(LBFieldsController& pane, int mode)
    {
        pane.segmentedControl()->setSelectedSegment(mode);
        pane.fieldsButtonAction();
    }
    static QModelIndex top(LBFieldsController& pane, int row)
    {
        return pane.fieldModel()->index(row, 0, QModelIndex());
    }
    static QAction* menuItem(LBFieldsController& pane, const char* selector)
    {
        for (QAction* item : pane.optionsMenu()->actions()) {
            if (platform::actionSelector(item) == QLatin1String(selector))
                return item;
        }
        return nullptr;
    }
    static QVariantMap customRoot()
    {
        return LBProcessState::fieldsList(List::Custom).value(0).toMap();
    }

    FieldListsScope lists;
};

} // namespace

// ==== The address-book tree ================================================================

TEST_F(FieldsDrawer, AddressBookTreeFromVCards)
{
    const QVariantList nodes = LBFieldsController::addressBookFieldNodes(
        ContactStore::sharedStore()->people(), ContactStore::allProperties(),
        &ContactStore::typeOfProperty);

    // Sorted by name without regard to case.
    for (qsizetype i = 1; i < nodes.size(); ++i)
        EXPECT_LE(QString::compare(nameOf(nodes[i - 1]), nameOf(nodes[i]), Qt::CaseInsensitive), 0)
            << nameOf(nodes[i - 1]).toStdString() << " before " << nameOf(nodes[i]).toStdString();

    // One and three numbers labelled home; work, home, mobile: three by position (1-based,
    // as the merge reads them) and one per label, all phone fields.
    struct Expected
    {
        const char* name;
        qint64 selectionType;
        qint64 indexNum;
        const char* label;
    };
    const Expected phones[] = {{"Phone.1", 1, 1, nullptr},       {"Phone.2", 1, 2, nullptr},
                               {"Phone.3", 1, 3, nullptr},       {"Phone.Home", 2, 0, "home"},
                               {"Phone.Mobile", 2, 0, "mobile"}, {"Phone.Work", 2, 0, "work"}};
    const QVariantList phoneNodes = nodesOf(nodes, platform::ContactPhoneProperty);
    ASSERT_EQ(phoneNodes.size(), qsizetype(std::size(phones)));
    for (size_t i = 0; i < std::size(phones); ++i) {
        const QVariantMap node = phoneNodes[qsizetype(i)].toMap();
        SCOPED_TRACE(phones[i].name);
        EXPECT_EQ(node.value("fieldName").toString(), QLatin1String(phones[i].name));
        EXPECT_EQ(node.value("propertyType").toLongLong(), 14);
        EXPECT_EQ(node.value("isMultiple").toLongLong(), 1);
        EXPECT_EQ(node.value("selectionType").toLongLong(), phones[i].selectionType);
        EXPECT_EQ(node.value("indexNum").toLongLong(), phones[i].indexNum);
        EXPECT_EQ(node.value("labelName").toString(), QLatin1String(phones[i].label));
        EXPECT_FALSE(node.contains("indexNum") && node.contains("labelName"));
    }

    // Addresses: per key as stored, by position (one address at most) and by label.
    const QVariantList addressNodes = nodesOf(nodes, platform::ContactAddressProperty);
    QVariantList cityNodes;
    for (const QVariant& node : addressNodes) {
        const QVariantMap map = node.toMap();
        EXPECT_EQ(map.value("propertyType").toLongLong(), 5);
        EXPECT_EQ(map.value("isMultiple").toLongLong(), 1);
        EXPECT_TRUE(nameOf(node).startsWith(map.value("propertyKey").toString() + u'.'));
        if (map.value("propertyKey") == platform::ContactAddressCityKey)
            cityNodes.append(node);
    }
    ASSERT_EQ(cityNodes.size(), 3);
    EXPECT_EQ(nameOf(cityNodes[0]), QStringLiteral("City.1"));
    EXPECT_EQ(cityNodes[0].toMap().value("indexNum").toLongLong(), 1);
    EXPECT_EQ(nameOf(cityNodes[1]), QStringLiteral("City.Home"));
    EXPECT_EQ(cityNodes[1].toMap().value("labelName").toString(), QStringLiteral("home"));
    EXPECT_EQ(nameOf(cityNodes[2]), QStringLiteral("City.Work"));
    // Only one of the two addresses has a country: its key still gives nodes.
    EXPECT_EQ(
        std::count_if(addressNodes.cbegin(), addressNodes.cend(),
                      [](const QVariant& n) { return nameOf(n) == QLatin1String("Country.1"); }),
        1);

    // A plain property: one node named for the user, whether or not anyone has a value.
    const QVariantList company = nodesOf(nodes, platform::ContactOrganizationProperty);
    ASSERT_EQ(company.size(), 1);
    EXPECT_EQ(nameOf(company[0]), QStringLiteral("Company"));
    EXPECT_EQ(company[0].toMap().value("propertyType").toLongLong(), 0);
    EXPECT_EQ(company[0].toMap().value("isMultiple").toLongLong(), 0);
    // Nobody has an email: no email nodes.
    EXPECT_TRUE(nodesOf(nodes, platform::ContactEmailProperty).isEmpty());
}

TEST_F(FieldsDrawer, ArrayAndDictionaryPropertiesGiveElementAndKeyNodes)
{
    // Kinds the contacts folder does not make: arrays, dictionaries, arrays of labelled values.
    auto person = std::make_shared<platform::ContactPerson>();
    person->setValue(QStringLiteral("Tags"),
                     QVariantList{QStringLiteral("a"), QStringLiteral("b")});
    person->setValue(QStringLiteral("Extra"), QVariantMap{{QStringLiteral("Shoe"), 44}});
    platform::ContactMultiValue routes;
    routes.entries = {{QStringLiteral("home"), QVariantList{QStringLiteral("x")}},
                      {QString(), QVariantList{QStringLiteral("y"), QStringLiteral("z")}}};
    person->setMultiValue(QStringLiteral("Routes"), routes);
    person->finish();
    const QStringList properties{QStringLiteral("Tags"), QStringLiteral("Extra"),
                                 QStringLiteral("Routes")};
    const auto typeOf = [](const QString& p) {
        return p == QLatin1String("Tags")    ? platform::ContactArrayProperty
               : p == QLatin1String("Extra") ? platform::ContactDictionaryProperty
                                             : platform::ContactMultiArrayProperty;
    };
    const QVariantList nodes =
        LBFieldsController::addressBookFieldNodes({person}, properties, typeOf);

    QStringList names;
    for (const QVariant& node : nodes)
        names.append(nameOf(node));
    EXPECT_EQ(names,
              QStringList({"Extra.Shoe", "Routes.1.1", "Routes.1.2", "Routes.2.1", "Routes.2.2",
                           "Routes.Home.1", "Routes.Home.2", "Tags.1", "Tags.2"}));
    const QVariantMap tags2 = nodes.at(names.indexOf("Tags.2")).toMap();
    EXPECT_EQ(tags2.value("propertyType").toLongLong(), 4);
    EXPECT_EQ(tags2.value("arrayIndexNum").toLongLong(), 1);
    const QVariantMap shoe = nodes.at(names.indexOf("Extra.Shoe")).toMap();
    EXPECT_EQ(shoe.value("propertyType").toLongLong(), 5);
    EXPECT_EQ(shoe.value("propertyKey").toString(), QStringLiteral("Shoe"));
    const QVariantMap route = nodes.at(names.indexOf("Routes.2.1")).toMap();
    EXPECT_EQ(route.value("indexNum").toLongLong(), 2);
    EXPECT_EQ(route.value("arrayIndexNum").toLongLong(), 0);
    EXPECT_EQ(route.value("selectionType").toLongLong(), 1);
    const QVariantMap homeRoute = nodes.at(names.indexOf("Routes.Home.2")).toMap();
    EXPECT_EQ(homeRoute.value("labelName").toString(), QStringLiteral("home"));
    EXPECT_EQ(homeRoute.value("arrayIndexNum").toLongLong(), 1);
}

// The merge finds the address-book fields by name and reads the value each names: positions
// count from 1, as the names do.
TEST_F(MergeFieldsTest, AddressBookFieldsResolveToTheValuesTheyName)
{
    const QList<platform::ContactPersonPtr> people = fixtureStore()->people();
    ASSERT_EQ(people.size(), 2);
    LBProcessState::fieldsList(List::Custom) = {
        group(QStringLiteral("All Fields"),
              LBFieldsController::addressBookFieldNodes(people, ContactStore::allProperties(),
                                                        &ContactStore::typeOfProperty))};
    services->setSelectedPeople(people);
    const qint64 ann = people[0]->value(platform::ContactFirstNameProperty) == "Ann" ? 0 : 1;
    const qint64 ben = 1 - ann;
    struct Case
    {
        const char* name;
        qint64 person;
        const char* value; // nullptr: no value
    };
    const Case cases[] = {
        {"Phone.1", ann, "555-0101"},
        {"Phone.2", ann, nullptr},
        {"Phone.1", ben, "555-0201"},
        {"Phone.2", ben, "555-0202"},
        {"Phone.3", ben, "555-0203"},
        {"Phone.Mobile", ben, "555-0203"},
        {"Phone.Work", ann, nullptr},
        {"City.1", ann, "Springfield"},
        {"City.Work", ben, "Shelbyville"},
        {"City.Home", ben, nullptr},
        {"First", ben, "Ben"},
    };
    for (const Case& c : cases) {
        const QString value =
            services->stringForStandardField(field(QString::fromLatin1(c.name)), c.person);
        if (c.value)
            EXPECT_EQ(value, QString::fromLatin1(c.value)) << c.name;
        else
            EXPECT_TRUE(value.isNull()) << c.name << " gave " << value.toStdString();
    }
    LBProcessState::fieldsList(List::Custom) = {};
}

// ==== Modes, menu and expansion ============================================================

TEST_F(FieldsDrawer, ModesMenuAndTheAddressBookRoot)
{
    LBFieldsController pane;
    QAbstractItemModel* model = pane.fieldModel();
    EXPECT_EQ(pane.mode(), 0);
    EXPECT_EQ(model->rowCount(QModelIndex()), 2);
    EXPECT_EQ(model->data(top(pane, 1), Qt::DisplayRole).toString(), QStringLiteral("Sender"));

    // The options menu: the address-book command only in mode 1; "chooseMeAction:" while the
    // shell answers, opening its "MePrefs" pane.
    QAction* readItem = menuItem(pane, "readAddressBookFields:");
    QAction* meItem = menuItem(pane, "chooseMeAction:");
    ASSERT_TRUE(readItem && meItem);
    EXPECT_FALSE(pane.validateMenuItem(readItem));
    EXPECT_FALSE(pane.validateMenuItem(meItem));
    PreferencesServices services;
    ApplicationServices::setShared(&services);
    EXPECT_TRUE(pane.validateMenuItem(meItem));
    meItem->trigger();
    EXPECT_EQ(services.panes, QStringList{QStringLiteral("MePrefs")});

    // First use of mode 1 builds the address-book list: its root follows the standard list,
    // collapsed.
    chooseMode(pane, 1);
    EXPECT_EQ(settings().integerForKey(QStringLiteral("Fields Drawer Mode")), 1);
    EXPECT_TRUE(pane.validateMenuItem(readItem));
    ASSERT_EQ(model->rowCount(QModelIndex()), 3);
    const QModelIndex root = top(pane, 2);
    EXPECT_EQ(model->data(root, Qt::DisplayRole).toString(), QStringLiteral("All Fields"));
    EXPECT_GT(model->rowCount(root), 10);
    EXPECT_FALSE(pane.fieldTable()->isExpanded(root));
    EXPECT_FALSE(customRoot().value("expanded").toBool());

    // From the menu: rebuilt and shown expanded.
    readItem->trigger();
    EXPECT_TRUE(pane.fieldTable()->isExpanded(top(pane, 2)));
    EXPECT_TRUE(customRoot().value("expanded").toBool());

    // A list holding two roots (written elsewhere) shows its first, once.
    LBProcessState::fieldsList(List::Custom).append(group(QStringLiteral("Old Root"), {}));
    chooseMode(pane, 2);
    chooseMode(pane, 1);
    ASSERT_EQ(model->rowCount(QModelIndex()), 3);
    EXPECT_EQ(model->data(top(pane, 2), Qt::DisplayRole).toString(), QStringLiteral("All Fields"));

    // A list without a usable root (a file edited by hand) is built again when mode 1 comes.
    LBProcessState::fieldsList(List::Custom) = {QStringLiteral("not a root")};
    chooseMode(pane, 2);
    chooseMode(pane, 1);
    EXPECT_EQ(customRoot().value("fieldName").toString(), QStringLiteral("All Fields"));
    EXPECT_EQ(model->data(top(pane, 2), Qt::DisplayRole).toString(), QStringLiteral("All Fields"));

    // Mode 2 shows the miscellaneous list; the mode is kept for the next pane.
    chooseMode(pane, 2);
    EXPECT_FALSE(pane.validateMenuItem(readItem));
    EXPECT_EQ(model->data(top(pane, 0), Qt::DisplayRole).toString(), QStringLiteral("Barcodes"));
    LBFieldsController next;
    EXPECT_EQ(next.mode(), 2);
    EXPECT_EQ(next.segmentedControl()->selectedSegment(), 2);
    EXPECT_EQ(next.fieldModel()->rowCount(QModelIndex()), 1);
}

TEST_F(FieldsDrawer, ResizingCentresTheModesAndFitsTheOutline)
{
    LBFieldsController pane;
    const QSize control = pane.segmentedControl()->size();
    pane.mainView()->show();
    pane.mainView()->resize(260, 500);
    // The outline ends 136 above the bottom and is 195 shorter than the pane.
    EXPECT_EQ(pane.fieldTable()->geometry(), QRect(8, 59, 244, 305));
    EXPECT_EQ(pane.segmentedControl()->x(), (260 - control.width()) / 2);
    // Narrower than the control: it keeps to the left edge; too low for an outline: none.
    pane.mainView()->resize(control.width() - 20, 150);
    EXPECT_EQ(pane.segmentedControl()->x(), 0);
    EXPECT_EQ(pane.fieldTable()->height(), 0);
}

TEST_F(FieldsDrawer, SelectionShowsTheDescriptionAndEnablesInsertForFieldsOnly)
{
    QVariantMap described = field(QStringLiteral("My First Name"), QStringLiteral("First"));
    described.insert(QStringLiteral("fieldDesc"), QStringLiteral("Your first name"));
    LBProcessState::fieldsList(List::My)[0] = group(QStringLiteral("Name"), {described});
    LBFieldsController pane;
    LBFieldOutlineView* outline = pane.fieldTable();
    outline->setCurrentIndex(top(pane, 0));
    EXPECT_FALSE(pane.insertFieldButton()->isEnabled());
    EXPECT_TRUE(pane.descriptionText()->text().isEmpty());
    outline->expand(top(pane, 0));
    outline->setCurrentIndex(pane.fieldModel()->index(0, 0, top(pane, 0)));
    EXPECT_TRUE(pane.insertFieldButton()->isEnabled());
    EXPECT_EQ(pane.descriptionText()->text(), QStringLiteral("Your first name"));
}

TEST_F(FieldsDrawer, ExpansionSurvivesACustomFieldsRoundTrip)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("CustomFields.plist"));
    {
        LBFieldsController pane;
        chooseMode(pane, 1); // built collapsed
        // The user opens the root and the second standard group.
        pane.fieldTable()->expand(top(pane, 2));
        pane.fieldTable()->expand(top(pane, 1));
        EXPECT_TRUE(customRoot().value("expanded").toBool());
        EXPECT_TRUE(
            LBProcessState::fieldsList(List::Standard)[1].toMap().value("expanded").toBool());
        EXPECT_FALSE(
            LBProcessState::fieldsList(List::Standard)[0].toMap().value("expanded").toBool());
        // Written at quit, as the application does.
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(platform::PropertyList::toXml(LBProcessState::fieldsList(List::Custom)));
    }
    // The next run reads it back.
    QFile in(path);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    const std::optional<QVariant> read = platform::PropertyList::read(in.readAll());
    ASSERT_TRUE(read);
    LBProcessState::fieldsList(List::Custom) = read->toList();
    {
        LBFieldsController pane;
        ASSERT_EQ(pane.mode(), 1);
        EXPECT_TRUE(pane.fieldTable()->isExpanded(top(pane, 2)));
        EXPECT_TRUE(pane.fieldTable()->isExpanded(top(pane, 1)));
        EXPECT_FALSE(pane.fieldTable()->isExpanded(top(pane, 0)));
        EXPECT_EQ(pane.fieldModel()->rowCount(top(pane, 2)),
                  customRoot().value("childArray").toList().size());
        // Closed again: remembered as closed.
        pane.fieldTable()->collapse(top(pane, 2));
        EXPECT_FALSE(customRoot().value("expanded").toBool());
    }
}

// ==== Dragging fields out ==================================================================

TEST_F(FieldsDrawer, DragPayloads)
{
    LBFieldsController pane;
    const auto payload = [&](int group, int row) {
        QAbstractItemModel* model = pane.fieldModel();
        const QModelIndex parent = top(pane, group);
        const QModelIndex index = row < 0 ? parent : model->index(row, 0, parent);
        return std::unique_ptr<QMimeData>(model->mimeData({index}));
    };
    const auto typesOf = [](const QMimeData& data) {
        QStringList types;
        for (const QString& mime : data.formats())
            types.append(platform::pasteboardTypeForMimeType(mime));
        types.sort();
        return types;
    };
    const QString printLine = QStringLiteral("Quarn Print Line");
    const auto graphicsOf = [&](const QMimeData& data) {
        platform::Pasteboard pasteboard(const_cast<QMimeData*>(&data));
        const std::optional<QVariantMap> dictionary =
            LBDocument::dictionaryFromDocumentData(pasteboard.dataForType(printLine));
        return dictionary ? LBDocument::graphicsFromDocumentDictionary(*dictionary).graphics
                          : LBDocument::Layer();
    };

    // A group refuses.
    EXPECT_EQ(payload(0, -1), nullptr);

    // An ordinary field: rich text with plain text beside it, and the field's range.
    std::unique_ptr<QMimeData> data = payload(0, 0);
    ASSERT_TRUE(data);
    EXPECT_EQ(typesOf(*data), QStringList({QStringLiteral("LBQFieldPboardType"),
                                           platform::RTFDPboardType, platform::StringPboardType}));
    EXPECT_EQ(data->text(), QStringLiteral("My First Name"));
    platform::Pasteboard pasteboard(data.get());
    std::optional<platform::AttributedString> text = pasteboard.attributedString();
    ASSERT_TRUE(text);
    EXPECT_TRUE(LBApplyFieldRangeData(pasteboard.dataForType(LBQFieldPboardType), *text));
    platform::Range run;
    const QVariantMap attribute = text->attribute(LBQFieldAttributeName, 0, &run).toMap();
    EXPECT_EQ(run, platform::Range(0, 13));
    EXPECT_TRUE(attribute.contains(QStringLiteral("LBFieldTimeStamp")));

    // Picture fields: the sample picture graphic, and the name as an ordinary field too.
    struct PictureCase
    {
        int mode, group, row;
        qint64 imageType;
    };
    for (const PictureCase c :
         {PictureCase{0, 1, 0, LBImage::LogoPicture}, PictureCase{0, 1, 1, LBImage::MyPicture},
          PictureCase{1, 1, 0, LBImage::ContactPicture}}) {
        SCOPED_TRACE(c.imageType);
        chooseMode(pane, c.mode);
        data = payload(c.group, c.row);
        ASSERT_TRUE(data);
        EXPECT_EQ(typesOf(*data),
                  QStringList({QStringLiteral("LBQFieldPboardType"), platform::RTFDPboardType,
                               platform::StringPboardType, printLine}));
        const LBDocument::Layer graphics = graphicsOf(*data);
        ASSERT_EQ(graphics.size(), 1);
        EXPECT_EQ(graphics[0]->specialImageType(), c.imageType);
        EXPECT_FALSE(graphics[0]->bounds().isEmpty());
    }

    // Barcodes: the barcode graphic only; the postal ones read a contact field.
    chooseMode(pane, 2);
    for (const auto& [row, type, source] : {std::tuple{0, 1, 0}, std::tuple{1, 9, 2}}) {
        data = payload(0, row);
        ASSERT_TRUE(data);
        EXPECT_EQ(typesOf(*data), QStringList{printLine});
        const LBDocument::Layer graphics = graphicsOf(*data);
        ASSERT_EQ(graphics.size(), 1);
        const auto* barcode = dynamic_cast<const LBBarcodeImage*>(graphics[0].get());
        ASSERT_TRUE(barcode);
        EXPECT_EQ(barcode->barcodeType(), type);
        EXPECT_EQ(barcode->barcodeDataSource(), source);
        EXPECT_EQ(barcode->bounds().size(), barcode->barcodeImageSize());
    }
    EXPECT_EQ(
        LBFieldsController::barcodeTypeForPropertyName(QStringLiteral("kLBJapanPostProperty")), 15);
    EXPECT_EQ(LBFieldsController::barcodeTypeForPropertyName(QStringLiteral("Anything")), 9);
    // A pre-formatted address block needs a window to lay it out for: without one, nothing.
    EXPECT_EQ(payload(0, 2), nullptr);

    // The picture dragged with a field is half transparent.
    const QImage image =
        pane.dragImageForNode(field(QStringLiteral("Note"), QStringLiteral("Note")));
    ASSERT_FALSE(image.isNull());
    int strongest = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            strongest = std::max(strongest, qAlpha(image.pixel(x, y)));
    EXPECT_GT(strongest, 100);
    EXPECT_LE(strongest, 128);
    EXPECT_TRUE(pane.dragImageForNode(group(QStringLiteral("Name"), {})).isNull());
}

TEST_F(FieldsDrawer, DraggingARowRunsADragOfItsPayloadAndPicture)
{
    LBFieldsController pane;
    LBFieldOutlineView* outline = pane.fieldTable();
    outline->resize(220, 300);
    outline->show();
    const QModelIndex name = top(pane, 0);
    outline->expand(name);
    QStringList dragged;
    QImage image;
    QPoint hotSpot;
    platform::Drag::setRunner([&](platform::Drag& drag) {
        for (const QString& mime : drag.mimeData()->formats())
            dragged.append(platform::pasteboardTypeForMimeType(mime));
        image = drag.image();
        hotSpot = drag.hotSpot();
        return Qt::CopyAction;
    });
    const auto drag = [&](const QModelIndex& index) {
        dragged.clear();
        const QPoint from = outline->visualRect(index).center();
        QTest::mousePress(outline->viewport(), Qt::LeftButton, {}, from);
        QTest::mouseMove(outline->viewport(), from + QPoint(30, 8));
        QTest::mouseRelease(outline->viewport(), Qt::LeftButton, {}, from + QPoint(30, 8));
    };
    // A group does not move.
    drag(name);
    EXPECT_TRUE(dragged.isEmpty());
    // A field goes with its name, half transparent, held where the pointer took the row.
    drag(pane.fieldModel()->index(0, 0, name));
    platform::Drag::setRunner({});
    EXPECT_TRUE(dragged.contains(QStringLiteral("LBQFieldPboardType")));
    EXPECT_TRUE(dragged.contains(platform::RTFDPboardType));
    ASSERT_FALSE(image.isNull());
    EXPECT_TRUE(QRect(QPoint(), image.size()).contains(hotSpot));
}

// ==== Row backgrounds ======================================================================

TEST_F(FieldsDrawer, RowBackgrounds)
{
    LBFieldsController pane;
    LBFieldCell cell;
    const auto images = [](const char* prefix, const char* suffix) {
        return QList<platform::ImagePtr>{
            platform::Image::imageNamed(QStringLiteral("%1Left%2").arg(prefix, suffix)),
            platform::Image::imageNamed(QStringLiteral("%1Middle%2").arg(prefix, suffix)),
            platform::Image::imageNamed(QStringLiteral("%1Right%2").arg(prefix, suffix))};
    };
    const auto shown = [&](int group, int row, bool selected) {
        const QModelIndex parent = top(pane, group);
        pane.willDisplayCell(&cell, row < 0 ? parent : pane.fieldModel()->index(row, 0, parent),
                             selected);
        return cell.showImages() ? QList<platform::ImagePtr>{cell.imageLeft(), cell.imageMiddle(),
                                                             cell.imageRight()}
                                 : QList<platform::ImagePtr>{};
    };
    for (const char* name : {"BlockLeft", "BlockMiddle1", "FieldRight"})
        ASSERT_TRUE(platform::Image::imageNamed(QLatin1String(name))) << name;

    // Mode 0: the first group's fields have the block backgrounds, the others the field ones;
    // groups and selected rows none.
    EXPECT_EQ(shown(0, 0, false), images("Block", ""));
    EXPECT_EQ(shown(1, 0, false), images("Field", ""));
    EXPECT_TRUE(shown(0, 0, true).isEmpty());
    EXPECT_TRUE(shown(0, -1, false).isEmpty());
    // Mode 1: the "1" blocks; mode 2: field backgrounds only.
    chooseMode(pane, 1);
    EXPECT_EQ(shown(0, 1, false), images("Block", "1"));
    EXPECT_EQ(shown(1, 1, false), images("Field", ""));
    chooseMode(pane, 2);
    EXPECT_EQ(shown(0, 0, false), images("Field", ""));
    // The row drawn just after a drag was written shows none, once.
    platform::Pasteboard pasteboard(new QMimeData);
    std::unique_ptr<QMimeData> owner(pasteboard.mimeData());
    ASSERT_TRUE(
        pane.writeItems({field(QStringLiteral("Note"), QStringLiteral("Note"))}, pasteboard));
    EXPECT_TRUE(shown(0, 0, false).isEmpty());
    EXPECT_EQ(shown(0, 0, false), images("Field", ""));
}

// ==== In the design window =================================================================

class FieldsDrawerWindow : public DocumentTest
{
protected:
    FieldsDrawerWindow()
    {
        registerShapeClasses();
        settings().setBool(true, QStringLiteral("LayersViewIsClosed"));
        DesignModeController::setFactory([] { return std::make_unique<LBEditController>(); });
        DesignDrawer::setFactory([] { return std::make_unique<LBDrawerController>(); });
        DrawerBrowser::setFactory(6, [] { return std::make_unique<LBFieldsController>(); });
        registerMergeClasses();
        MergeServices::setFactory(
            [](LBWindowController& w) { return std::make_unique<LBMergeServices>(w); });
        document->setOpenedExistingFile(true); // no layout chooser
        window = showWindowOnDocument(*document);
        window->switchToDesignMode(nullptr);
        edit = static_cast<LBEditController*>(window->editController());
    }
    ~FieldsDrawerWindow() override
    {
        if (box && edit && edit->selectedGraphicView())
            box->endEditingInView(edit->selectedGraphicView());
        if (document)
            document->close();
        document.reset();
        DrawerBrowser::setFactory(6, {});
        MergeServices::setFactory({});
        DesignModeController::setFactory({});
        DesignDrawer::setFactory({});
        for (const char* key : {"LayersViewIsClosed", "LBDrawerIsClosed", "Graphics Drawer Open",
                                "Graphics Drawer Selection", "Graphics Drawer Width"})
            settings().removeObjectForKey(QString::fromLatin1(key));
    }

    FieldListsScope lists;
    LBWindowController* window = nullptr; // owned by the document
    LBEditController* edit = nullptr;     // owned by the window controller
    LBTextAreaPtr box;
};

TEST_F(FieldsDrawerWindow, InsertsTheSelectedFieldIntoTheTextBeingEdited)
{
    ASSERT_TRUE(edit);
    edit->openDrawer(true, false, false);
    edit->setDrawerMode(6);
    auto* drawer = static_cast<LBDrawerController*>(edit->drawerController());
    ASSERT_TRUE(drawer);
    auto* pane = dynamic_cast<LBFieldsController*>(drawer->browser(6));
    ASSERT_TRUE(pane);
    EXPECT_EQ(pane->editController(), edit);
    EXPECT_TRUE(pane->mainView()->isVisible());

    QAbstractItemModel* model = pane->fieldModel();
    const QModelIndex firstName = model->index(0, 0, model->index(0, 0, QModelIndex()));
    pane->fieldTable()->setCurrentIndex(firstName);
    LBGraphicView* canvas = edit->selectedGraphicView();
    ASSERT_TRUE(canvas);
    // Nothing being edited: the field goes on the page in a new text box, being edited.
    pane->insertFieldButton()->click();
    {
        const LBDocument::Layer layer = canvas->graphics()->value(document->selectedLayerIndex());
        ASSERT_EQ(layer.size(), 1);
        auto* made = dynamic_cast<LBTextArea*>(layer.first().get());
        ASSERT_TRUE(made);
        const platform::AttributedString& text = made->contents()->attributedString();
        EXPECT_EQ(text.string(), QStringLiteral("My First Name"));
        EXPECT_TRUE(text.attribute(LBQFieldAttributeName, 0).isValid());
        EXPECT_EQ(canvas->editingGraphic(), made);
        auto* editing = dynamic_cast<LBTextView*>(edit->editorView());
        ASSERT_TRUE(editing);
        EXPECT_EQ(editing->selectedRange(), platform::Range(13, 0)); // typing goes after it
        EXPECT_TRUE(canvas->visiblePageRect().contains(made->bounds().center()));
        made->endEditingInView(canvas);
        document->removeGraphicAtIndex(0, document->selectedLayerIndex());
    }

    box = std::make_shared<LBTextArea>();
    box->setBounds(QRectF(50, 60, 200, 40));
    box->setContents(testText(QStringLiteral("Dear ")));
    document->insertGraphic(box, 0, document->selectedLayerIndex());
    box->startEditingWithEvent(nullptr, canvas, false);
    auto* editor = dynamic_cast<LBTextView*>(edit->editorView());
    ASSERT_TRUE(editor);
    editor->setSelectedRange(platform::Range(5, 0));
    // The button clicked with the mouse takes the focus; typing then goes on in the text.
    QApplication::setActiveWindow(editor->window());
    pane->insertFieldButton()->setFocus();
    QTest::mouseClick(pane->insertFieldButton(), Qt::LeftButton);
    ASSERT_TRUE(QApplication::focusWidget());
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral(","));

    const platform::AttributedString& text = editor->textStorage()->attributedString();
    EXPECT_EQ(text.string(), QStringLiteral("Dear My First Name,"));
    platform::Range run;
    const QVariantMap attribute = text.attribute(LBQFieldAttributeName, 5, &run).toMap();
    EXPECT_EQ(run, platform::Range(5, 13));
    EXPECT_TRUE(attribute.contains(QStringLiteral("LBFieldTimeStamp")));
    EXPECT_FALSE(text.attribute(LBQFieldAttributeName, 0).isValid());

    // In a window, a pre-formatted address block is dragged as the window's address box.
    box->endEditingInView(canvas);
    box.reset();
    pane->segmentedControl()->setSelectedSegment(2);
    pane->fieldsButtonAction();
    const std::unique_ptr<QMimeData> data(
        model->mimeData({model->index(2, 0, model->index(0, 0, QModelIndex()))}));
    ASSERT_TRUE(data);
    platform::Pasteboard pasteboard(data.get());
    EXPECT_EQ(pasteboard.types(), QStringList{QStringLiteral("Quarn Print Line")});
    const std::optional<QVariantMap> dictionary = LBDocument::dictionaryFromDocumentData(
        pasteboard.dataForType(QStringLiteral("Quarn Print Line")));
    ASSERT_TRUE(dictionary);
    const LBDocument::Layer graphics =
        LBDocument::graphicsFromDocumentDictionary(*dictionary).graphics;
    ASSERT_EQ(graphics.size(), 1);
    EXPECT_TRUE(dynamic_cast<const LBTextArea*>(graphics[0].get()));

    // An ordinary field dropped on the canvas becomes a text box holding the field.
    pane->segmentedControl()->setSelectedSegment(0);
    pane->fieldsButtonAction();
    const std::unique_ptr<QMimeData> fieldData(
        model->mimeData({model->index(0, 0, model->index(0, 0, QModelIndex()))}));
    ASSERT_TRUE(fieldData);
    const qsizetype before = canvas->graphics()->value(document->selectedLayerIndex()).size();
    const QPoint at = canvas->convertToWidget(QPointF(100, 100)).toPoint();
    QDragEnterEvent enter(at, Qt::CopyAction, fieldData.get(), Qt::LeftButton, {});
    QApplication::sendEvent(canvas, &enter);
    QDragMoveEvent move(at, Qt::CopyAction, fieldData.get(), Qt::LeftButton, {});
    QApplication::sendEvent(canvas, &move);
    QDropEvent drop(QPointF(at), Qt::CopyAction, fieldData.get(), Qt::LeftButton, {});
    QApplication::sendEvent(canvas, &drop);
    const LBDocument::Layer layer = canvas->graphics()->value(document->selectedLayerIndex());
    ASSERT_EQ(layer.size(), before + 1);
    const auto* dropped = dynamic_cast<const LBTextArea*>(layer.first().get());
    ASSERT_TRUE(dropped);
    const platform::AttributedString& droppedText = dropped->contents()->attributedString();
    EXPECT_EQ(droppedText.string(), QStringLiteral("My First Name"));
    EXPECT_TRUE(droppedText.attribute(LBQFieldAttributeName, 0).isValid());
}
