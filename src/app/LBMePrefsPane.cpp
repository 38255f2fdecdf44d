#include "app/LBMePrefsPane.h"

#include "app/LBLibraryController.h"
#include "controls/LBDragImageView.h"
#include "platform/core/Strings.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/Image.h"
#include "platform/ui/DocumentFileDialog.h"

#include <QFileDialog>
#include <QFont>
#include <QFontMetricsF>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPushButton>
#include <QSet>
#include <QStringListModel>
#include <QVBoxLayout>

#include <algorithm>

namespace {

using platform::ContactPerson;
using platform::ContactPersonPtr;

platform::UserDefaults& defaults()
{
    return platform::UserDefaults::standardUserDefaults();
}

const QString myPersonKey = QStringLiteral("My Person ID");
const QString myLogoKey = QStringLiteral("My Logo");
const QString mySignatureKey = QStringLiteral("My Signature");

QString text(const ContactPerson& person, const QString& property)
{
    return person.value(property).toString();
}

enum class KeyKind { Last, First, Organization };

struct SortKey
{
    QString key;
    KeyKind kind;
};

QString firstOf(const QString& a, const QString& b)
{
    return a.isEmpty() ? b : a;
}

// The first key of a card and what kind of name it is.
SortKey sortKey(const ContactPerson& person, qint64 field)
{
    const QString last = text(person, platform::ContactLastNameProperty);
    const QString first = text(person, platform::ContactFirstNameProperty);
    const QString organization = text(person, platform::ContactOrganizationProperty);
    auto pick = [](std::initializer_list<std::pair<QString, KeyKind>> keys) {
        for (const auto& [key, kind] : keys)
            if (!key.isEmpty())
                return SortKey{key, kind};
        return SortKey{QString(), keys.begin()->second};
    };
    const bool company = person.isCompany();
    if (field == 1)
        return company ? pick({{organization, KeyKind::Organization}, {first, KeyKind::First}})
                       : pick({{first, KeyKind::First}, {last, KeyKind::Last}});
    if (field == 2)
        return pick({{organization, KeyKind::Organization},
                     {last, KeyKind::Last},
                     {first, KeyKind::First}});
    return company ? pick({{organization, KeyKind::Organization}, {last, KeyKind::Last}})
                   : pick({{last, KeyKind::Last}, {first, KeyKind::First}});
}

// The key that decides between cards with equal first keys.
QString secondKey(const ContactPerson& person, KeyKind after)
{
    const QString last = text(person, platform::ContactLastNameProperty);
    const QString first = text(person, platform::ContactFirstNameProperty);
    switch (after) {
    case KeyKind::Last: return firstOf(first, last);
    case KeyKind::First: return firstOf(last, first);
    case KeyKind::Organization:
        return firstOf(last, text(person, platform::ContactOrganizationProperty));
    }
    return {};
}

// Missing keys sort first; otherwise without regard to case. <0, 0, >0.
int compareKeys(const QString& a, const QString& b)
{
    if (a.isEmpty() || b.isEmpty())
        return a.isEmpty() == b.isEmpty() ? 0 : (a.isEmpty() ? -1 : 1);
    return a.compare(b, Qt::CaseInsensitive);
}

bool anyValueBeginsWith(const ContactPerson& person, const QByteArray& foldedWord)
{
    // The search text holds each value on a line of its own, case-folded, in UTF-8.
    const QByteArray values = person.searchText();
    qsizetype at = 0;
    while (at <= values.size()) {
        if (QByteArrayView(values).sliced(at).startsWith(foldedWord))
            return true;
        const qsizetype next = values.indexOf('\n', at);
        if (next < 0)
            break;
        at = next + 1;
    }
    return false;
}

// The people in both lists, in the order of the shorter one.
QList<ContactPersonPtr> intersection(const QList<ContactPersonPtr>& a,
                                     const QList<ContactPersonPtr>& b)
{
    const QList<ContactPersonPtr>& shorter = a.size() <= b.size() ? a : b;
    const QList<ContactPersonPtr>& longer = a.size() <= b.size() ? b : a;
    QSet<const ContactPerson*> present;
    for (const ContactPersonPtr& person : longer)
        present.insert(person.get());
    QList<ContactPersonPtr> both;
    for (const ContactPersonPtr& person : shorter)
        if (present.contains(person.get()))
            both.append(person);
    return both;
}

} // namespace

LBMePrefsPane::LBMePrefsPane() = default;

LBMePrefsPane::~LBMePrefsPane() = default;

bool LBMePrefsPane::comparePeople(const ContactPerson& a, const ContactPerson& b, qint64 sortField)
{
    const SortKey ka = sortKey(a, sortField);
    const SortKey kb = sortKey(b, sortField);
    const int first = compareKeys(ka.key, kb.key);
    if (first != 0)
        return first < 0;
    return compareKeys(secondKey(a, ka.kind), secondKey(b, kb.kind)) < 0;
}

QString LBMePrefsPane::rowTitle(const ContactPerson& person, bool firstNameFirst)
{
    const QString organization = text(person, platform::ContactOrganizationProperty);
    QString title;
    if (person.isCompany() && !organization.isEmpty()) {
        title = organization;
    } else {
        const QString first = text(person, platform::ContactFirstNameProperty);
        const QString last = text(person, platform::ContactLastNameProperty);
        if (!first.isEmpty() && !last.isEmpty())
            title = firstNameFirst ? first + u' ' + last : last + u' ' + first;
        else
            title = firstOf(first, last);
    }
    return title.isEmpty() ? platform::LocalizedString(QStringLiteral("(No Name)"),
                                                       QStringLiteral("Miscellaneous"))
                           : title;
}

QList<ContactPersonPtr>
LBMePrefsPane::recordsMatchingSearchStr(const QString& searchText,
                                        const QList<ContactPersonPtr>& source)
{
    if (searchText.isEmpty())
        return source;
    QList<ContactPersonPtr> result = source;
    for (const QString& word : searchText.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QByteArray folded = word.toCaseFolded().toUtf8();
        QList<ContactPersonPtr> matching;
        for (const ContactPersonPtr& person : source)
            if (anyValueBeginsWith(*person, folded))
                matching.append(person);
        result = intersection(result, matching);
    }
    return result;
}

QByteArray LBMePrefsPane::dataForImage(const std::shared_ptr<platform::Image>& image)
{
    if (!image)
        return {};
    using Kind = platform::Image::RepresentationKind;
    const Kind kind = image->representationKind();
    if (kind == Kind::EPS || kind == Kind::PDF) {
        const bool retained = image->dataRetained();
        image->setDataRetained(true);
        const QByteArray data = image->data();
        image->setDataRetained(retained);
        if (!data.isEmpty())
            return data;
    }
    QByteArray tiff = image->TIFFRepresentationUsingLZW();
    if (tiff.isEmpty()) {
        // A vector picture without its bytes: its bitmap at its size.
        if (const auto bitmap =
                platform::Image::fromBitmap(image->forcedBitmapImageRep(), image->size()))
            tiff = bitmap->TIFFRepresentationUsingLZW();
    }
    return tiff;
}

// ==== View =================================================================================

QWidget* LBMePrefsPane::loadMainView()
{
    auto* view = new QWidget;
    auto* column = new QVBoxLayout(view);
    column->setContentsMargins(20, 16, 20, 16);
    auto prefs = [](const char* key) {
        return platform::LocalizedString(QString::fromUtf8(key), QStringLiteral("Preferences"));
    };
    column->addWidget(new QLabel(prefs("Choose the contact that is you:"), view));
    _searchField = new QLineEdit(view);
    _searchField->setPlaceholderText(prefs("Search"));
    _searchField->setClearButtonEnabled(true);
    column->addWidget(_searchField);
    _table = new QListView(view);
    _rows = new QStringListModel(_table);
    _table->setModel(_rows);
    _table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    _table->setSelectionMode(QAbstractItemView::SingleSelection);
    _table->setMinimumHeight(160);
    column->addWidget(_table, 1);
    auto* makeMine = new QPushButton(prefs("This Is Me"), view);
    column->addWidget(makeMine, 0, Qt::AlignRight);

    auto* wells = new QGridLayout;
    auto addWell = [&](int col, const char* title, LBDragImageView*& well, auto setAction,
                       auto clearAction) {
        wells->addWidget(new QLabel(prefs(title), view), 0, col, Qt::AlignHCenter);
        well = new LBDragImageView(view);
        well->setFixedSize(150, 90);
        well->setAction([this](LBDragImageView* sender) { imageWellAction(sender); });
        wells->addWidget(well, 1, col, Qt::AlignHCenter);
        auto* buttons = new QHBoxLayout;
        auto* set = new QPushButton(prefs("Choose…"), view);
        auto* clear = new QPushButton(prefs("Clear"), view);
        buttons->addWidget(set);
        buttons->addWidget(clear);
        wells->addLayout(buttons, 2, col);
        QObject::connect(set, &QPushButton::clicked, view,
                         [this, setAction] { (this->*setAction)(); });
        QObject::connect(clear, &QPushButton::clicked, view,
                         [this, clearAction] { (this->*clearAction)(); });
    };
    addWell(0, "Logo", _logoWell, &LBMePrefsPane::setLogoAction, &LBMePrefsPane::clearLogoAction);
    addWell(1, "Signature", _signatureWell, &LBMePrefsPane::setSignatureAction,
            &LBMePrefsPane::clearSignatureAction);
    column->addLayout(wells);
    auto* createSignature = new QPushButton(prefs("Create Signature From Name"), view);
    column->addWidget(createSignature, 0, Qt::AlignRight);
    _createSignatureButton = createSignature;

    QObject::connect(_searchField, &QLineEdit::textChanged, view,
                     [this](const QString& text) { processSearchStr(text); });
    QObject::connect(makeMine, &QPushButton::clicked, view, [this] { makeMyCardAction(); });
    QObject::connect(createSignature, &QPushButton::clicked, view,
                     [this] { createSignatureButtonAction(); });
    QObject::connect(_table, &QListView::doubleClicked, view, [this] { makeMyCardAction(); });
    return view;
}

void LBMePrefsPane::mainViewDidLoad()
{
    _contactsChanged = platform::NotificationCenter::defaultCenter().addObserver(
        platform::ContactStoreChangedExternallyNotification, nullptr,
        [this](const platform::Notification&) { readAddressBook(); });
    readAddressBook();
    showStoredImage(_logoWell, myLogoKey);
    showStoredImage(_signatureWell, mySignatureKey);
    _searchField->setFocus();
}

void LBMePrefsPane::showStoredImage(LBDragImageView* well, const QString& key)
{
    const QByteArray data = defaults().dataForKey(key);
    const std::shared_ptr<platform::Image> image =
        data.isEmpty() ? nullptr : platform::Image::fromData(data);
    well->setImage(image);
    well->setContainsImage(image != nullptr);
}

// ==== People ===============================================================================

void LBMePrefsPane::readAddressBook()
{
    platform::ContactStore* store = platform::ContactStore::sharedStore();
    _people = store ? store->people() : QList<ContactPersonPtr>();
    if (_searchField && !_searchField->text().isEmpty())
        _people = recordsMatchingSearchStr(_searchField->text(), _people);
    const qint64 field = defaults().integerForKey(QStringLiteral("Contact Sort Field"));
    std::stable_sort(_people.begin(), _people.end(),
                     [field](const ContactPersonPtr& a, const ContactPersonPtr& b) {
                         return comparePeople(*a, *b, field);
                     });
    reloadTable();
    selectMePerson();
    updateCreateSignatureButton();
}

void LBMePrefsPane::reloadTable()
{
    if (!_rows)
        return;
    const bool firstNameFirst = defaults().boolForKey(QStringLiteral("Display First Name First"));
    QStringList titles;
    titles.reserve(_people.size());
    for (const ContactPersonPtr& person : _people)
        titles.append(rowTitle(*person, firstNameFirst));
    _rows->setStringList(titles);
}

void LBMePrefsPane::selectMePerson()
{
    // Linux has no system "me" card: the stored identifier alone chooses it.
    const QString uid = defaults().stringForKey(myPersonKey);
    if (uid.isEmpty() || !_table)
        return;
    for (qsizetype row = 0; row < _people.size(); ++row) {
        if (_people.at(row)->uniqueId() == uid) {
            const QModelIndex index = _rows->index(int(row));
            _table->setCurrentIndex(index);
            _table->scrollTo(index);
            return;
        }
    }
}

void LBMePrefsPane::processSearchStr(const QString& searchText)
{
    _table->clearSelection();
    _table->setCurrentIndex(QModelIndex());
    readAddressBook();
    if (searchText.isEmpty())
        selectMePerson();
}

int LBMePrefsPane::selectedRow() const
{
    const QModelIndexList selected = _table->selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void LBMePrefsPane::makeMyCardAction()
{
    const int row = selectedRow();
    if (row < 0 || row >= _people.size())
        return;
    defaults().setObject(_people.at(row)->uniqueId(), myPersonKey);
    updateCreateSignatureButton();
    platform::NotificationCenter::defaultCenter().post(LBMePersonChangedNotification);
}

// ==== Logo and signature ===================================================================

void LBMePrefsPane::storeWell(LBDragImageView* well)
{
    const QByteArray data = dataForImage(well->image());
    defaults().setObject(data, well == _logoWell ? myLogoKey : mySignatureKey);
    well->setContainsImage(!data.isEmpty());
    platform::NotificationCenter::defaultCenter().post(LBMePersonChangedNotification);
}

void LBMePrefsPane::imageWellAction(LBDragImageView* well)
{
    storeWell(well);
}

bool LBMePrefsPane::setImageFromFile(const QString& path, bool signature)
{
    const std::shared_ptr<platform::Image> image = platform::Image::fromFile(path);
    if (!image)
        return false;
    image->setDataRetained(true);
    LBDragImageView* well = signature ? _signatureWell : _logoWell;
    well->setImage(image);
    storeWell(well);
    return true;
}

void LBMePrefsPane::openImagePanel(bool signature)
{
    auto* panel = new QFileDialog(mainView() ? mainView()->window() : nullptr);
    platform::openInUsersFolder(panel);
    platform::keepOutOfDocuments(panel);
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setFileMode(QFileDialog::ExistingFile);
    panel->setNameFilter(platform::imagesNameFilter(LBLibraryController::imageFileTypes()));
    panel->setWindowModality(Qt::WindowModal);
    QObject::connect(panel, &QFileDialog::fileSelected, panel,
                     [this, signature](const QString& path) { setImageFromFile(path, signature); });
    panel->open();
}

void LBMePrefsPane::setLogoAction()
{
    openImagePanel(false);
}

void LBMePrefsPane::setSignatureAction()
{
    openImagePanel(true);
}

void LBMePrefsPane::clearLogoAction()
{
    _logoWell->setImage(nullptr);
    storeWell(_logoWell);
}

void LBMePrefsPane::clearSignatureAction()
{
    _signatureWell->setImage(nullptr);
    storeWell(_signatureWell);
}

QString LBMePrefsPane::nameForSignature() const
{
    platform::ContactStore* store = platform::ContactStore::sharedStore();
    const ContactPersonPtr me =
        store ? store->personForUniqueId(defaults().stringForKey(myPersonKey)) : nullptr;
    if (!me)
        return {};
    const QString first = text(*me, platform::ContactFirstNameProperty);
    const QString last = text(*me, platform::ContactLastNameProperty);
    if (first.isEmpty() || last.isEmpty())
        return {};
    return QStringLiteral("%1 %2  ").arg(first, last);
}

void LBMePrefsPane::updateCreateSignatureButton()
{
    if (_createSignatureButton)
        _createSignatureButton->setEnabled(!nameForSignature().isEmpty());
}

void LBMePrefsPane::createSignatureButtonAction()
{
    // Without the user's card and both its names there is nothing to write, and the
    // signature the user has stays as it is.
    const QString signature = nameForSignature();
    if (signature.isEmpty())
        return;
    clearSignatureAction();
    // A script face; where it is missing, the font system substitutes a cursive one.
    QFont font(QStringLiteral("Zapfino"));
    font.setPointSizeF(88);
    font.setStyleHint(QFont::Cursive);
    const QFontMetricsF metrics(font);
    const QSize pixels(qCeil(metrics.horizontalAdvance(signature)), qCeil(metrics.height()));
    QImage bitmap(pixels, QImage::Format_ARGB32_Premultiplied);
    bitmap.fill(Qt::transparent);
    {
        QPainter painter(&bitmap);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QPointF(0, metrics.ascent()), signature);
    }
    // Eight pixels a point: the picture stays sharp when placed at its size.
    const std::shared_ptr<platform::Image> image =
        platform::Image::fromBitmap(bitmap, QSizeF(pixels) / 8.0);
    _signatureWell->setImage(image);
    storeWell(_signatureWell);
}
