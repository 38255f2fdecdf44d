// Developer tool: the document window in design mode with the design drawer open on the
// fields pane in its contacts mode: the program's field lists, the address-book fields of a
// few contacts made here, the first group, "Phone" and "All Fields" expanded and one field
// selected; saved as a PNG of the window, a second PNG of the drawer pane alone and a third
// of the pane scrolled down to the contacts' own fields:
//   xvfb-run -a -s "-screen 0 1280x900x24" build/test/tools/fieldsshot [--mode 0|1|2]
//       window.png [pane.png [contacts.png]]
// --mode shows another of the pane's modes (0 your own fields, 2 the other fields) with its
// first two groups expanded.

#include "ShotSupport.h"
#include "document/LBDocument.h"
#include "graphics/LBProcessState.h"
#include "merge/LBFieldOutlineView.h"
#include "merge/LBFieldsController.h"
#include "platform/core/ContactStore.h"
#include "platform/core/PropertyList.h"
#include "platform/core/UserDefaults.h"
#include "window/DrawerBrowser.h"
#include "window/LBDrawerController.h"
#include "window/LBEditController.h"
#include "window/LBWindowController.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QFile>
#include <QMainWindow>

#include <cstdio>

namespace {

QVariantList resourceList(const char* name)
{
    QFile file(QStringLiteral(":/%1.plist").arg(QLatin1String(name)));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const std::optional<QVariant> list = platform::PropertyList::read(file.readAll());
    return list ? list->toList() : QVariantList();
}

std::shared_ptr<platform::ContactPerson> person(const QString& first, const QString& last,
                                                const QStringList& phoneLabels,
                                                const QString& addressLabel)
{
    auto card = std::make_shared<platform::ContactPerson>();
    card->setValue(platform::ContactFirstNameProperty, first);
    card->setValue(platform::ContactLastNameProperty, last);
    platform::ContactMultiValue phones;
    for (const QString& label : phoneLabels)
        phones.entries.append({label, QStringLiteral("555-0100")});
    card->setMultiValue(platform::ContactPhoneProperty, phones);
    platform::ContactMultiValue addresses;
    addresses.entries.append(
        {addressLabel, QVariantMap{{platform::ContactAddressStreetKey, QStringLiteral("1 Elm St")},
                                   {platform::ContactAddressCityKey, QStringLiteral("Springfield")},
                                   {platform::ContactAddressZIPKey, QStringLiteral("62701")}}});
    card->setMultiValue(platform::ContactAddressProperty, addresses);
    platform::ContactMultiValue emails;
    emails.entries.append(
        {platform::ContactWorkLabel, first.toLower() + QStringLiteral("@example.org")});
    card->setMultiValue(platform::ContactEmailProperty, emails);
    card->finish();
    return card;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QStringList arguments = QApplication::arguments().mid(1);
    qint64 mode = 1;
    if (arguments.size() >= 2 && arguments.first() == QLatin1String("--mode")) {
        mode = arguments.at(1).toLongLong();
        arguments = arguments.mid(2);
    }
    if (arguments.isEmpty() || arguments.size() > 3 || mode < 0 || mode > 2) {
        std::fprintf(stderr,
                     "usage: fieldsshot [--mode 0|1|2] <window.png> [pane.png [contacts.png]]\n");
        return 2;
    }
    const shots::TemporaryHome folder;
    LBProcessState::setApplicationSupportPath(folder.path() + QStringLiteral("/Support/"));
    LBProcessState::setTemporaryFolderPath(folder.path() + QStringLiteral("/Temporary Files/"));
    shots::setUpDesignWindows({{QStringLiteral("Graphics Drawer Selection"), 6}});
    platform::UserDefaults& settings = platform::UserDefaults::standardUserDefaults();
    settings.setInteger(mode, QStringLiteral("Fields Drawer Mode"));

    using List = LBProcessState::FieldsList;
    LBProcessState::fieldsList(List::Standard) = resourceList("Fields");
    LBProcessState::fieldsList(List::My) = resourceList("MyFields");
    LBProcessState::fieldsList(List::Misc) = resourceList("MiscFields");
    auto store = std::make_unique<platform::ContactStore>();
    store->addPerson(person(QStringLiteral("Ann"), QStringLiteral("Abbot"),
                            {platform::ContactHomeLabel}, platform::ContactHomeLabel));
    store->addPerson(person(
        QStringLiteral("Ben"), QStringLiteral("Baker"),
        {platform::ContactWorkLabel, platform::ContactHomeLabel, platform::ContactMobileLabel},
        platform::ContactWorkLabel));
    platform::ContactStore::setSharedStore(std::move(store));

    DrawerBrowser::setFactory(6, [] { return std::make_unique<LBFieldsController>(); });

    LBDocument document;
    document.setOpenedExistingFile(true); // no layout chooser over the design
    shots::DesignWindow design = shots::showDesignWindow(document, QSize(1100, 720));
    // Whatever mode the window opens in, the pane belongs to design mode.
    design.controller->switchToDesignMode(nullptr);
    shots::pump(200);
    auto* edit = static_cast<LBEditController*>(design.controller->editController());
    if (!edit) {
        std::fprintf(stderr, "fieldsshot: no design controller\n");
        return 1;
    }
    edit->openDrawer(true, false, false);
    edit->setDrawerMode(6);
    shots::pump(300);
    auto* drawer = static_cast<LBDrawerController*>(edit->drawerController());
    auto* fields = drawer ? dynamic_cast<LBFieldsController*>(drawer->browser(6)) : nullptr;
    if (!fields) {
        std::fprintf(stderr, "fieldsshot: no fields pane in the drawer\n");
        return 1;
    }
    // The first group, "Phone" and the address-book root open; a field of "Phone" selected.
    LBFieldOutlineView* outline = fields->fieldTable();
    QAbstractItemModel* model = fields->fieldModel();
    const int groups = model->rowCount(QModelIndex());
    QModelIndex contacts;
    outline->expand(model->index(0, 0, QModelIndex()));
    if (mode != 1)
        outline->expand(model->index(1, 0, QModelIndex()));
    for (int row = 0; row < groups; ++row) {
        const QModelIndex group = model->index(row, 0, QModelIndex());
        const QString name = model->data(group, Qt::DisplayRole).toString();
        if (name == QLatin1String("Phone")) {
            outline->expand(group);
            outline->setCurrentIndex(model->index(4, 0, group));
        } else if (name == QLatin1String("All Fields")) {
            outline->expand(group);
            contacts = group;
        }
    }
    shots::pump(300);
    bool saved = shots::grabWindow(design.window, arguments.at(0));
    if (saved && arguments.size() >= 2)
        saved = drawer->view()->grab().save(arguments.at(1), "PNG");
    if (saved && arguments.size() == 3 && contacts.isValid()) {
        outline->setCurrentIndex(model->index(model->rowCount(contacts) / 2, 0, contacts));
        outline->scrollTo(contacts, QAbstractItemView::PositionAtTop);
        shots::pump(200);
        saved = drawer->view()->grab().save(arguments.at(2), "PNG");
    }
    document.close();
    if (!saved) {
        std::fprintf(stderr, "fieldsshot: cannot write %s\n", qPrintable(arguments.at(0)));
        return 1;
    }
    return 0;
}
