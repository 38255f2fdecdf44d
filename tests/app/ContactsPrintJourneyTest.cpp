// Address labels for one group of the user's contacts, printed as a user does it: the
// contacts folder holds two groups; File > New and the layout chooser make a sheet of
// address labels with a delivery address; in preview the user clicks one group in the
// contacts list; File > Print… (Ctrl+P) prints into a PDF file through the print panel,
// once as it is and once after File > Printer Calibration… gave the preferred printer an
// offset. The PDFs read back hold that group's people only, moved by the offset.

#include "ProgramFixture.h"

#include "LayoutChooser.h"

#include "document/LBDocument.h"
#include "merge/LBContactColumns.h"
#include "merge/LBEnvelopeFeedSheet.h"
#include "merge/LBMergeServices.h"
#include "merge/LBPrintCalibrationController.h"
#include "platform/core/ContactStore.h"
#include "platform/ui/Alert.h"
#include "platform/ui/PreferencesWindow.h"
#include "platform/ui/PrintOperation.h"
#include "platform/ui/Printers.h"

#include <poppler-qt6.h>

#include <QAbstractItemModel>
#include <QDeadlineTimer>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QListView>
#include <QMenu>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScopeGuard>
#include <QTableView>
#include <QTest>

#include <map>
#include <memory>

namespace {

class OnePrinter : public platform::Printers::Source
{
public:
    QList<platform::Printers::Printer> printers() const override
    {
        return {{QStringLiteral("Office Laser"), QStringLiteral("HP LaserJet")}};
    }
    QList<QPageSize> paperSizes(const QString&) const override { return {}; }
};

// Where each word of the page lies (its first place), in points from the page's top left.
std::map<QString, QPointF> wordPlaces(const Poppler::Page& page)
{
    std::map<QString, QPointF> places;
    for (const std::unique_ptr<Poppler::TextBox>& box : page.textList())
        places.emplace(box->text(), box->boundingBox().topLeft());
    return places;
}

class ContactsPrintJourney : public ProgramFixture
{
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        contacts.setPath(platform::ContactStore::defaultFolder());
        contacts.removeRecursively();
        person("Friends", "ann", "Archer", "Ann", "1 Oak Lane");
        person("Friends", "bob", "Baker", "Bob", "2 Elm Road");
        person("Clients", "cara", "Cole", "Cara", "3 Pine Way");
        person("Clients", "dan", "Dunn", "Dan", "4 Birch Close");
        // The windows read the folder as it now is.
        platform::ContactStore::setSharedStore(nullptr);
        platform::Printers::setSource(std::make_shared<OnePrinter>());
        platform::PrintOperation::setPanelHandler([this](QPrinter& printer) {
            ++panelsShown;
            if (printTo.isEmpty())
                return false;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(printTo);
            return true;
        });
    }

    void TearDown() override
    {
        ProgramFixture::TearDown();
        platform::PrintOperation::setPanelHandler({});
        platform::Printers::setSource(nullptr);
        for (const char* key : {"Printer Calibration Array", "Preferred Printer", "My Person ID"})
            defaults().removeObjectForKey(QLatin1String(key));
        LayoutChooser::forgetChoices();
        contacts.removeRecursively();
        platform::ContactStore::setSharedStore(nullptr);
    }

    // A card in the group's folder.
    void person(const char* group, const char* file, const char* last, const char* first,
                const char* street) const
    {
        ASSERT_TRUE(contacts.mkpath(QLatin1String(group)));
        QFile card(contacts.filePath(QStringLiteral("%1/%2.vcf").arg(group, file)));
        ASSERT_TRUE(card.open(QIODevice::WriteOnly));
        card.write(QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:%1\r\nN:%2;%3;;;\r\n"
                                  "FN:%3 %2\r\nADR;TYPE=home:;;%4;Springfield;IL;62701;USA\r\n"
                                  "END:VCARD\r\n")
                       .arg(QLatin1String(file), QLatin1String(last), QLatin1String(first),
                            QLatin1String(street))
                       .toUtf8());
    }

    // The contacts list the preview shows; nullptr when none is shown.
    LBContactColumns* contactsList() const
    {
        auto* columns = window->window()->findChild<LBContactColumns*>();
        return columns && columns->groupTable()->isVisible() ? columns : nullptr;
    }

    // Clicks the row of that text in the table, with the keys held.
    static void clickRow(QTableView* table, const QString& text,
                         Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        QAbstractItemModel* rows = table->model();
        QStringList texts;
        for (int row = 0; row < rows->rowCount(); ++row) {
            const QModelIndex index = rows->index(row, 0);
            texts << index.data().toString();
            if (texts.last() != text)
                continue;
            QTest::mouseClick(table->viewport(), Qt::LeftButton, keys,
                              table->visualRect(index).center());
            settle();
            return;
        }
        FAIL() << "no row " << text.toStdString() << " among "
               << texts.join(QStringLiteral(" | ")).toStdString();
    }

    // Chooses the printer in File > Preferred Printer.
    void choosePreferredPrinter(const QString& name) const
    {
        window->validateMenus();
        QAction* submenuItem =
            window->menuItemWithSelector(QStringLiteral("preferredPrinterMenu:"));
        ASSERT_TRUE(submenuItem && submenuItem->menu());
        QMenu* printers = submenuItem->menu();
        Q_EMIT printers->aboutToShow();
        for (QAction* item : printers->actions()) {
            if (item->text() == name) {
                ASSERT_TRUE(item->isEnabled());
                item->trigger();
                return;
            }
        }
        FAIL() << "no printer " << name.toStdString() << " in the menu";
    }

    // File > Print… by its keys, the print panel answered with printing into the file.
    std::unique_ptr<Poppler::Document> print(const QString& name)
    {
        printTo = folder.filePath(name);
        const int panelsBefore = panelsShown;
        window->window()->activateWindow();
        settle();
        QTest::keyClick(window->window(), Qt::Key_P, Qt::ControlModifier);
        settle();
        EXPECT_EQ(panelsShown, panelsBefore + 1) << "File > Print… showed no print panel";
        return Poppler::Document::load(printTo);
    }

    // File > New, the chooser clicked through to the project's sheet (the first one whose
    // name begins with the text) and its first design, the address question answered with
    // its first button (which adds the address), then preview with its contacts list.
    LBContactColumns* newAddressedDesignInPreview(const QString& project, const QString& sheet)
    {
        newDocumentFromTheKeys();
        if (HasFatalFailure())
            return nullptr;
        {
            const LayoutChooser chooser(window->window());
            EXPECT_FALSE(chooser.empty()) << "no chooser on the new window";
            if (chooser.empty())
                return nullptr;
            chooser.chooseFirstDesign(project, sheet);
            settle();
            EXPECT_FALSE(chooser.sheet()->isVisible()) << "the chooser stayed open";
        }
        if (HasFatalFailure())
            return nullptr;
        EXPECT_EQ(alerts.filter(QStringLiteral("pre-formatted address")).size(), 1)
            << alerts.join(u'\n').toStdString();
        alerts.clear();
        if (window->mode() != LBWindowController::PreviewMode) {
            EXPECT_TRUE(choose("switchToViewMode:"));
        }
        EXPECT_EQ(window->mode(), LBWindowController::PreviewMode);
        LBContactColumns* list = contactsList();
        EXPECT_NE(list, nullptr) << "no contacts list in preview";
        return list;
    }

    QDir contacts;
    QString printTo;
    int panelsShown = 0;
};

} // namespace

// At the launch the contacts folder is read once the first window is on the screen: the
// window comes without waiting for that read and lists the groups and people once it is
// over.
TEST_F(ContactsPrintJourney, TheContactsReadAfterTheLaunchAreListedOnceRead)
{
    platform::ContactStore::setSharedStoreReadInBackground(true);
    const auto readAtOnce =
        qScopeGuard([] { platform::ContactStore::setSharedStoreReadInBackground(false); });
    openDocument();
    // (A design without contact fields keeps the list hidden; it is filled all the same.)
    auto* list = window->window()->findChild<LBContactColumns*>();
    ASSERT_NE(list, nullptr);
    const QDeadlineTimer deadline(10000);
    while (list->personTable()->model()->rowCount() == 0 && !deadline.hasExpired())
        settle();
    EXPECT_FALSE(platform::ContactStore::sharedStoreIsBeingRead());
    const auto texts = [](QTableView* table) {
        QStringList rows;
        for (int row = 0; row < table->model()->rowCount(); ++row)
            rows << table->model()->index(row, 0).data().toString();
        return rows;
    };
    EXPECT_EQ(texts(list->groupTable()).mid(1),
              QStringList({QStringLiteral("Clients"), QStringLiteral("Friends")}));
    EXPECT_EQ(list->personTable()->model()->rowCount(), 4);
    EXPECT_TRUE(alerts.isEmpty()) << alerts.join(u'\n').toStdString();
}

// File > Print One Copy prints without a panel: on a computer without a printer nothing can
// come out, and the user is told so rather than left waiting.
TEST_F(ContactsPrintJourney, PrintOneCopyWithoutAPrinterSaysWhyNothingPrinted)
{
    if (!QPrinterInfo::availablePrinters().isEmpty())
        GTEST_SKIP() << "a printer is set up here: the job would go to it";
    openDocument();
    QStringList reasons;
    platform::Alert::setResponder([&](const platform::Alert& alert, QWidget*) {
        alerts << alert.messageText;
        reasons << alert.informativeText;
        return platform::Alert::Response{};
    });
    ASSERT_TRUE(choose("printOneCopy:"));
    settle();
    ASSERT_EQ(alerts.filter(QStringLiteral("could not be printed")).size(), 1)
        << alerts.join(u'\n').toStdString();
    EXPECT_TRUE(reasons.join(u'\n').contains(QStringLiteral("No printer is set up")))
        << reasons.join(u'\n').toStdString();
    EXPECT_FALSE(LBDocument::isPrinting());
}

TEST_F(ContactsPrintJourney, OneGroupPrintsAloneAndTheCalibrationMovesIt)
{
    openDocument();
    // Labels with a delivery address; in preview the Friends group clicked in the list.
    LBContactColumns* list =
        newAddressedDesignInPreview(QStringLiteral("Labels"), QStringLiteral("5160"));
    ASSERT_NE(list, nullptr);
    clickRow(list->groupTable(), QStringLiteral("Friends"));
    // The group's first person comes selected; the user adds the others.
    QAbstractItemModel* people = list->personTable()->model();
    ASSERT_EQ(people->rowCount(), 2);
    clickRow(list->personTable(), people->index(1, 0).data().toString(), Qt::ShiftModifier);
    auto* services = dynamic_cast<LBMergeServices*>(window->mergeServices());
    ASSERT_NE(services, nullptr);
    ASSERT_EQ(services->numSelectedPeople(), 2);

    // A print without a calibration for the printer the jobs go to.
    choosePreferredPrinter(QStringLiteral("Office Laser"));
    const std::unique_ptr<Poppler::Document> plain = print(QStringLiteral("Plain.pdf"));
    ASSERT_NE(plain, nullptr);
    EXPECT_TRUE(alerts.isEmpty()) << alerts.join(u'\n').toStdString();

    // File > Printer Calibration…: 9 points right and 5 down for that printer, saved.
    ASSERT_TRUE(choose("openPrinterCalibrationSheet:"));
    LBPrintCalibrationController* calibration = services->calibrationController();
    ASSERT_NE(calibration, nullptr);
    QDialog* sheet = calibration->calibrationWindow();
    ASSERT_TRUE(sheet && sheet->isVisible());
    EXPECT_EQ(calibration->printerPopup()->currentText(), QStringLiteral("Office Laser"));
    for (auto [field, value] : {std::pair{calibration->horizontalField(), "9"},
                                std::pair{calibration->verticalField(), "5"}}) {
        field->selectAll();
        QTest::keyClicks(field, QLatin1String(value));
    }
    QPushButton* save = sheet->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Save);
    ASSERT_NE(save, nullptr);
    QTest::mouseClick(save, Qt::LeftButton);
    settle();
    EXPECT_FALSE(sheet->isVisible());

    const std::unique_ptr<Poppler::Document> moved = print(QStringLiteral("Calibrated.pdf"));
    ASSERT_NE(moved, nullptr);
    EXPECT_TRUE(alerts.isEmpty()) << alerts.join(u'\n').toStdString();

    // One sheet each, with the Friends and nobody else.
    ASSERT_EQ(plain->numPages(), 1);
    ASSERT_EQ(moved->numPages(), 1);
    const std::unique_ptr<Poppler::Page> plainPage = plain->page(0);
    const std::unique_ptr<Poppler::Page> movedPage = moved->page(0);
    const QString text = plainPage->text(QRectF());
    for (const char* friendName : {"Archer", "Baker", "Oak", "Elm"})
        EXPECT_TRUE(text.contains(QLatin1String(friendName))) << friendName;
    for (const char* client : {"Cole", "Dunn", "Pine", "Birch"})
        EXPECT_FALSE(text.contains(QLatin1String(client))) << client;

    // Every word 9 points further right and 5 further down.
    const std::map<QString, QPointF> before = wordPlaces(*plainPage);
    const std::map<QString, QPointF> after = wordPlaces(*movedPage);
    ASSERT_EQ(before.size(), after.size());
    for (const auto& [word, place] : before) {
        ASSERT_TRUE(after.count(word)) << word.toStdString();
        EXPECT_NEAR(after.at(word).x() - place.x(), 9.0, 0.05) << word.toStdString();
        EXPECT_NEAR(after.at(word).y() - place.y(), 5.0, 0.05) << word.toStdString();
    }
}

// A person whose address is longer than the block that stands for it in design (a
// company, two street lines, a city, a postcode and a country) prints whole on the label
// made with the chooser's delivery address: every word within the first label, none cut
// off at the top or bottom of the box.
TEST_F(ContactsPrintJourney, ALongAddressPrintsWholeOnItsLabel)
{
    ASSERT_TRUE(contacts.mkpath(QStringLiteral("Abroad")));
    QFile card(contacts.filePath(QStringLiteral("Abroad/oliver.vcf")));
    ASSERT_TRUE(card.open(QIODevice::WriteOnly));
    card.write("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:oliver\r\nN:Brownlow;Oliver;;;\r\n"
               "FN:Oliver Brownlow\r\nORG:Northwind Traders\r\n"
               "ADR;TYPE=home:;;Flat 2\\n10 Kingsway Road;Manchester;;M1 1AA;United Kingdom\r\n"
               "END:VCARD\r\n");
    card.close();
    platform::ContactStore::setSharedStore(nullptr);
    openDocument();
    LBContactColumns* list =
        newAddressedDesignInPreview(QStringLiteral("Labels"), QStringLiteral("5160"));
    ASSERT_NE(list, nullptr);
    clickRow(list->groupTable(), QStringLiteral("Abroad"));
    const std::unique_ptr<Poppler::Document> pdf = print(QStringLiteral("Long.pdf"));
    ASSERT_NE(pdf, nullptr);
    ASSERT_GE(pdf->numPages(), 1);
    const std::unique_ptr<Poppler::Page> page = pdf->page(0);
    // The sheet's first label: 0.1875 in from the left, 0.5 in from the top, 2.625 × 1 in.
    const QRectF label(13.5, 36, 189, 72);
    QStringList words;
    for (const std::unique_ptr<Poppler::TextBox>& box : page->textList()) {
        if (box->boundingBox().top() > 720)
            continue; // the page's number and date at its foot
        words << box->text();
        EXPECT_TRUE(label.contains(box->boundingBox()))
            << box->text().toStdString() << " lies outside the label";
    }
    for (const char* word : {"Oliver", "Brownlow", "Northwind", "Flat", "Kingsway", "Manchester"})
        EXPECT_TRUE(words.contains(QLatin1String(word))) << word;
}

// An envelope made with its address fields prints the user's whole return address in its
// top-left corner: every line on the envelope, the city line unbroken.
TEST_F(ContactsPrintJourney, AnEnvelopePrintsTheWholeReturnAddressInItsCorner)
{
    defaults().setObject(QStringLiteral("dan"), QStringLiteral("My Person ID"));
    openDocument();
    LBContactColumns* list =
        newAddressedDesignInPreview(QStringLiteral("Envelopes"), QStringLiteral("Size 10"));
    ASSERT_NE(list, nullptr);
    clickRow(list->personTable(), QStringLiteral("Ann Archer"));

    // File > Print…: an envelope first asks how the printer takes it; its Print goes on to
    // the print panel.
    printTo = folder.filePath(QStringLiteral("Envelope.pdf"));
    window->window()->activateWindow();
    settle();
    QTest::keyClick(window->window(), Qt::Key_P, Qt::ControlModifier);
    settle();
    auto* feed = window->window()->findChild<LBEnvelopeFeedSheet*>();
    ASSERT_TRUE(feed && feed->isVisible()) << "no envelope feed sheet";
    QPushButton* go = nullptr;
    for (QPushButton* button : feed->findChildren<QPushButton*>())
        if (button->text() == QStringLiteral("Print"))
            go = button;
    ASSERT_NE(go, nullptr);
    QTest::mouseClick(go, Qt::LeftButton);
    settle();
    ASSERT_EQ(panelsShown, 1);
    const std::unique_ptr<Poppler::Document> printed = Poppler::Document::load(printTo);
    ASSERT_NE(printed, nullptr);
    ASSERT_GE(printed->numPages(), 1);
    const std::unique_ptr<Poppler::Page> page = printed->page(0);
    const QSizeF size = page->pageSizeF();
    // The words of the envelope's top-left corner, by line (ligatures as their letters).
    std::map<int, QStringList> lines;
    for (const std::unique_ptr<Poppler::TextBox>& word : page->textList()) {
        const QRectF box = word->boundingBox();
        EXPECT_TRUE(QRectF(QPointF(0, 0), size).contains(box)) << word->text().toStdString();
        if (box.right() < size.width() / 3 && box.bottom() < size.height() / 3)
            lines[qRound(box.top())].append(word->text().normalized(QString::NormalizationForm_KC));
    }
    QStringList corner;
    for (const auto& [top, words] : lines)
        corner.append(words.join(u' '));
    EXPECT_EQ(corner, QStringList({QStringLiteral("Dan Dunn"), QStringLiteral("4 Birch Close"),
                                   QStringLiteral("Springfield IL 62701"), QStringLiteral("USA")}))
        << corner.join(QStringLiteral(" | ")).toStdString();
}

// The people the user chose in preview stay chosen when the list is made again: after
// Preferences > Me > This Is Me, and after a card is added to the contacts folder (which
// puts a new person above them). The sheet printed then holds the same people.
TEST_F(ContactsPrintJourney, ThePeopleChosenStayChosenWhenTheContactsChange)
{
    openDocument();
    LBContactColumns* list =
        newAddressedDesignInPreview(QStringLiteral("Labels"), QStringLiteral("5160"));
    ASSERT_NE(list, nullptr);
    clickRow(list->groupTable(), QStringLiteral("Clients"));
    clickRow(list->groupTable(), QStringLiteral("All"));
    clickRow(list->personTable(), QStringLiteral("Ann Archer"));
    clickRow(list->personTable(), QStringLiteral("Dan Dunn"), Qt::ControlModifier);
    auto* services = dynamic_cast<LBMergeServices*>(window->mergeServices());
    ASSERT_NE(services, nullptr);
    const auto chosen = [&] {
        QStringList names;
        for (const QModelIndex& row : list->personTable()->selectionModel()->selectedRows())
            names << row.data().toString();
        names.sort();
        return names.join(QStringLiteral(", "));
    };
    const QString annAndDan = QStringLiteral("Ann Archer, Dan Dunn");
    ASSERT_EQ(chosen(), annAndDan);

    // File > Preferences…, the Me pane: Bob's card is the user's own.
    ASSERT_TRUE(choose("showPreferences:"));
    settle();
    platform::PreferencesWindow* preferences = app->preferencesWindow();
    ASSERT_NE(preferences, nullptr);
    ASSERT_TRUE(preferences->selectPaneNamed(QStringLiteral("MePrefs")));
    QWidget* pane = preferences->pane(QStringLiteral("MePrefs"))->mainView();
    auto* cards = pane->findChild<QListView*>();
    ASSERT_NE(cards, nullptr);
    const QModelIndexList bob =
        cards->model()->match(cards->model()->index(0, 0), Qt::DisplayRole,
                              QStringLiteral("Bob Baker"), 1, Qt::MatchExactly);
    ASSERT_EQ(bob.size(), 1);
    QTest::mouseClick(cards->viewport(), Qt::LeftButton, {}, cards->visualRect(bob[0]).center());
    QPushButton* thisIsMe = nullptr;
    for (QPushButton* button : pane->findChildren<QPushButton*>())
        if (button->text() == QStringLiteral("This Is Me"))
            thisIsMe = button;
    ASSERT_NE(thisIsMe, nullptr);
    QTest::mouseClick(thisIsMe, Qt::LeftButton);
    settle();
    EXPECT_EQ(defaults().stringForKey(QStringLiteral("My Person ID")), QStringLiteral("bob"));
    preferences->close();
    EXPECT_EQ(chosen(), annAndDan);
    EXPECT_EQ(services->selectedCountText(), QStringLiteral("2 people selected"));

    // A new card in the folder, first in the list.
    person("Friends", "al", "Abbott", "Al", "5 Ash Street");
    const QDeadlineTimer deadline(10000);
    while (list->personTable()->model()->rowCount() < 5 && !deadline.hasExpired())
        settle();
    ASSERT_EQ(list->personTable()->model()->rowCount(), 5);
    EXPECT_EQ(chosen(), annAndDan);

    const std::unique_ptr<Poppler::Document> printed = print(QStringLiteral("Chosen.pdf"));
    ASSERT_NE(printed, nullptr);
    ASSERT_EQ(printed->numPages(), 1);
    const QString text = printed->page(0)->text(QRectF());
    for (const char* name : {"Archer", "Dunn"})
        EXPECT_TRUE(text.contains(QLatin1String(name))) << name;
    for (const char* name : {"Abbott", "Baker", "Cole"})
        EXPECT_FALSE(text.contains(QLatin1String(name))) << name;
}
