// Developer tool: the contact columns of a preview window (groups with "All", the people
// of the chosen group with their icons and the count under them) over a small folder of
// vCards, saved as a PNG of the two columns:
//   xvfb-run -a -s "-screen 0 1024x768x24" build/test/tools/contactsshot contacts.png

#include "document/LBDocument.h"
#include "merge/LBContactColumns.h"
#include "merge/LBMergeServices.h"
#include "platform/core/ContactStore.h"
#include "platform/core/UserDefaults.h"
#include "platform/core/VCardReader.h"
#include "window/LBWindowController.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QTableView>
#include <QVBoxLayout>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: contactsshot <contacts.png>\n");
        return 2;
    }
    QApplication application(argc, argv);
    const QByteArray cards =
        "BEGIN:VCARD\nVERSION:3.0\nUID:me\nN:Rivera;Sam\nEND:VCARD\n"
        "BEGIN:VCARD\nVERSION:3.0\nUID:a\nN:Smith;Ann\nEND:VCARD\n"
        "BEGIN:VCARD\nVERSION:3.0\nUID:b\nN:Brown;Bob\nEND:VCARD\n"
        "BEGIN:VCARD\nVERSION:4.0\nUID:c\nKIND:org\nFN:Acme Supplies\nEND:VCARD\n"
        "BEGIN:VCARD\nVERSION:3.0\nUID:d\nN:Cole;Cy\nEND:VCARD\n";
    platform::ContactStore store;
    auto people = platform::VCardReader::read(cards, QStringLiteral("shot.vcf"), nullptr);
    for (const auto& person : people)
        store.addPerson(person);
    auto friends = std::make_shared<platform::ContactGroup>();
    friends->name = QStringLiteral("Friends");
    friends->members = {people.at(1), people.at(2)};
    auto work = std::make_shared<platform::ContactGroup>();
    work->name = QStringLiteral("Work");
    work->members = {people.at(3), people.at(4)};
    store.addGroup(work);
    store.addGroup(friends);
    platform::UserDefaults::standardUserDefaults().setObject(QStringLiteral("me"),
                                                             QStringLiteral("My Person ID"));

    platform::UserDefaults::standardUserDefaults().setBool(
        true, QStringLiteral("Display First Name First"));
    LBDocument document;
    auto* controller = new LBWindowController;
    document.addWindowController(controller);
    LBMergeServices services(*controller);
    services.setContactStore(&store);
    services.readAddressBook();

    QWidget window;
    auto* row = new QHBoxLayout(&window);
    auto* groupPane = new QWidget;
    auto* peoplePane = new QWidget;
    auto* groupTitle = new QLabel(QStringLiteral("Contacts"), groupPane);
    groupTitle->move(6, 2);
    auto* count = new QLabel(peoplePane);
    count->move(6, 2);
    row->addWidget(groupPane, 2);
    row->addWidget(peoplePane, 3);
    LBContactColumns columns(services, groupPane, peoplePane);
    services.selectionDidChange = [&] {
        count->setText(services.selectedCountText());
        count->adjustSize();
        if (!columns.isUpdating())
            columns.reload();
    };
    columns.setTableFontSize(1);
    services.selectPeopleRows({0, 1, 2});
    window.resize(460, 260);
    window.show();
    QApplication::processEvents();
    const QPixmap pixmap = window.grab();
    if (!pixmap.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "contactsshot: cannot write %s\n", argv[1]);
        return 1;
    }
    document.close();
    return 0;
}
