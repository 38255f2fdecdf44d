// Postal addresses laid out by country, and the pre-formatted address blocks.

#include "merge/LBMergeServices.h"

#include "canvas/LBFieldRanges.h"

#include "document/DimensionInfo.h"
#include "document/LBDocument.h"
#include "graphics/LBProcessState.h"
#include "graphics/LBTextArea.h"
#include "platform/core/Strings.h"
#include "platform/core/UserDefaults.h"
#include "platform/text/AttributedString.h"
#include "platform/text/FontManager.h"
#include "window/LBWindowController.h"

#include <QFontMetricsF>
#include <QHash>
#include <QStringList>

#include <cmath>
#include <iterator>

using platform::ContactPersonPtr;

namespace {

// Layouts by country: S street, C city, T state, Z ZIP, N country, "\r" a line break;
// the second form prints the country.
struct AddressLayout
{
    const char* withoutCountry;
    const char* withCountry;
};

const AddressLayout* layoutForCountry(const QString& code)
{
    static const AddressLayout us{"S\rC T Z", "S\rC T Z\rN"};
    static const AddressLayout europe{"S\rZ C", "S\rZ C\rN"};
    static const AddressLayout au{"S\rC\rT Z", "S\rC\rT Z\rN"};
    static const AddressLayout cn{"T C Z\rS", "N\rT C Z\rS"};
    static const AddressLayout dk{"S\rZ C\rT", "S\rZ C\rT\rN"};
    static const AddressLayout south{"S\rZ C T", "S\rZ C T\rN"};
    static const AddressLayout ja{"Z\rT C\rS", "N\rZ\rT C\rS"};
    static const AddressLayout kr{"T C S\rZ", "N\rT C S\rZ"};
    static const AddressLayout nz{"S\rT\rC Z", "S\rT\rC Z\rN"};
    static const AddressLayout sg{"S\rC Z", "S\rC Z\rN"};
    static const AddressLayout uk{"S\rC\rT\rZ", "S\rC\rT\rZ\rN"};
    static const AddressLayout za{"S\rC\rT\rZ", "S\rC\rT\rZ N"};
    static const QHash<QString, const AddressLayout*> table = [] {
        QHash<QString, const AddressLayout*> t;
        for (const char* c : {"us", "ca", "ie", "tr", "tw"})
            t.insert(QLatin1String(c), &us);
        for (const char* c :
             {"at", "be", "ch", "de", "fi", "fr", "gl", "il", "is", "lu", "nl", "no", "pl", "se"})
            t.insert(QLatin1String(c), &europe);
        for (const char* c : {"au", "id"})
            t.insert(QLatin1String(c), &au);
        t.insert(QStringLiteral("cn"), &cn);
        t.insert(QStringLiteral("dk"), &dk);
        for (const char* c : {"es", "mx", "pt", "it"})
            t.insert(QLatin1String(c), &south);
        // The codes people's cards carry for Japan and the United Kingdom.
        t.insert(QStringLiteral("ja"), &ja);
        t.insert(QStringLiteral("jp"), &ja);
        t.insert(QStringLiteral("kr"), &kr);
        t.insert(QStringLiteral("nz"), &nz);
        t.insert(QStringLiteral("sg"), &sg);
        t.insert(QStringLiteral("uk"), &uk);
        t.insert(QStringLiteral("gb"), &uk);
        t.insert(QStringLiteral("za"), &za);
        return t;
    }();
    // Any other country takes the first row rather than losing the address.
    return table.value(code, &us);
}

} // namespace

QString LBMergeServices::addressStringByTable(const platform::ContactAddress& address,
                                              qint64 printCountry,
                                              const QString& defaultCountryCode)
{
    QString code = address.countryCode.toLower();
    if (code.isEmpty())
        code = defaultCountryCode;
    if (printCountry == 2)
        printCountry = code != defaultCountryCode ? 2 : 0;
    const AddressLayout* layout = layoutForCountry(code);
    const char* pattern = printCountry != 0 ? layout->withCountry : layout->withoutCountry;
    QString out;
    for (const char* c = pattern; *c; ++c) {
        switch (*c) {
        case 'S': out += address.street; break;
        case 'C': out += address.city; break;
        case 'T': out += address.state; break;
        case 'Z': out += address.zip; break;
        case 'N': out += address.country; break;
        default: out += QLatin1Char(*c); break;
        }
    }
    // A street of several lines breaks as the others do.
    out.replace(QLatin1String("\r\n"), QLatin1String("\r"));
    out.replace(QLatin1Char('\n'), QLatin1Char('\r'));
    // A part the address lacks (a county, a city) leaves no blank line in the middle of it.
    QStringList lines = out.split(QLatin1Char('\r'));
    lines.removeIf([](const QString& line) { return line.trimmed().isEmpty(); });
    if (lines.isEmpty())
        return {};
    return lines.join(QLatin1Char('\r'));
}

QString LBMergeServices::fullAddressStringForField(const QVariantMap& field, qint64 fromPerson)
{
    const ContactPersonPtr person = contactAtIndex(fromPerson);
    if (!person)
        return {};
    const std::optional<platform::ContactMultiValue> addresses =
        person->multiValue(platform::ContactAddressProperty);
    if (!addresses || addresses->count() == 0)
        return {};
    qsizetype i = -1;
    switch (field.value(QStringLiteral("selectionType")).toLongLong()) {
    case 0: i = addresses->primaryIndex(); break;
    case 1: i = field.value(QStringLiteral("indexNum")).toLongLong() - 1; break;
    case 2: {
        const QString label = field.value(QStringLiteral("labelName")).toString();
        for (qsizetype n = 0; n < addresses->count(); ++n)
            if (addresses->entries.at(n).label == label) {
                i = n;
                break;
            }
        break;
    }
    default: break;
    }
    if (i < 0 || i >= addresses->count())
        return {};
    const qint64 printCountry = platform::UserDefaults::standardUserDefaults().integerForKey(
        QStringLiteral("Print Country"));
    QString defaultCode = LBProcessState::defaultCountryCode();
    if (defaultCode.isEmpty())
        defaultCode = platform::ContactStore::defaultCountryCode();
    const platform::ContactAddress* address =
        platform::contactAddressIn(addresses->entries.at(i).value);
    return address ? addressStringByTable(*address, printCountry, defaultCode) : QString();
}

// ==== Pre-formatted address blocks =======================================================

namespace {

QString blockString(const QString& key)
{
    return platform::LocalizedString(key, QStringLiteral("PreformattedAddressFields"));
}

} // namespace

qint64 LBMergeServices::preformattedBlockKind(const QString& fieldStr)
{
    // Kind 0 (the plain name) is not a pre-formatted block here.
    for (qint64 kind = 1; kind < qint64(std::size(LBPreformattedAddressBlockKeys)); ++kind) {
        const QString key = QLatin1String(LBPreformattedAddressBlockKeys[kind]);
        if (fieldStr == blockString(key) || fieldStr == blockString(QStringLiteral("My") + key))
            return kind;
    }
    return 0;
}

std::optional<platform::AttributedString>
LBMergeServices::preformattedAddressStringForFieldStr(const QString& fieldStr, bool isMyField)
{
    platform::AttributedString block;
    const auto field = [&](const char* key) {
        const QString name =
            blockString((isMyField ? QStringLiteral("My") : QString()) + QLatin1String(key));
        block.appendAttributedString(platform::AttributedString(
            name, {{LBQFieldAttributeName, fieldAttributeForFieldString(name)}}));
    };
    const auto marker = [&](const char* bracket) {
        const QString text = QLatin1String(bracket);
        block.appendAttributedString(platform::AttributedString(
            text, {{LBQFieldAttributeName, fieldAttributeForFieldString(text)}}));
    };
    const auto text = [&](const char* key) {
        block.appendAttributedString(platform::AttributedString(blockString(QLatin1String(key))));
    };
    const auto plain = [&](const char* literal) {
        block.appendAttributedString(platform::AttributedString(QLatin1String(literal)));
    };
    const auto name = [&] { field("First+Last"); };
    const auto address = [&] { field("Address"); };
    const auto line = [&] { plain("\r"); };
    switch (preformattedBlockKind(fieldStr)) {
    case 1:
        marker("[");
        field("Prefix");
        plain(" ");
        marker("]");
        name();
        break;
    case 2: field("Company"); break;
    case 3:
        name();
        line();
        field("Company");
        break;
    case 4:
        field("Company");
        line();
        text("Attention: ");
        name();
        break;
    case 5:
        name();
        line();
        field("JobTitle");
        line();
        field("Company");
        break;
    case 6:
        name();
        line();
        field("Department");
        line();
        field("Company");
        break;
    case 7:
        name();
        line();
        field("JobTitle");
        line();
        field("Department");
        line();
        field("Company");
        break;
    case 8:
        field("First");
        plain(" ");
        marker("[");
        text("and ");
        field("Spouse");
        plain(" ");
        marker("]");
        field("Last");
        break;
    case 9:
        text("The ");
        field("Last");
        text(" Family");
        break;
    case 10:
        text("Mr. and Mrs. ");
        name();
        break;
    default: name(); break;
    }
    line();
    address();
    return block;
}

std::shared_ptr<LBTextArea> LBMergeServices::textObjForPreformattedFieldStr(const QString& fieldStr)
{
    const bool isMyField = fieldStr.startsWith(blockString(QStringLiteral("My")));
    std::optional<platform::AttributedString> block =
        preformattedAddressStringForFieldStr(fieldStr, isMyField);
    const std::optional<QFont> selected = platform::FontManager::sharedFontManager().selectedFont();
    QFont font = selected.value_or(platform::AttributedString::defaultFont());
    const auto applyFont = [&] {
        if (selected)
            block->addAttribute(platform::FontAttributeName, font,
                                platform::Range(0, block->length()));
    };
    applyFont();
    const auto height = [&] {
        return 2.0 * QFontMetricsF(font).lineSpacing() + block->size().height();
    };
    const QVariantMap layout = document() ? document()->dimensionInfo() : QVariantMap();
    const double limit = layout.value(DimensionInfo::labelHeight).toDouble() - 10.0;
    double h = height();
    double size = font.pointSizeF() > 0 ? font.pointSizeF() : 12.0;
    // Smaller by a tenth until the block fits the label, down to 2 points.
    while (h > limit && size > 2.0) {
        size = std::floor(size * 0.9);
        if (size < 3.0)
            size = 2.0;
        font.setPointSizeF(size);
        if (!selected)
            block->addAttribute(platform::FontAttributeName, font,
                                platform::Range(0, block->length()));
        else
            applyFont();
        h = height();
    }
    const double width =
        std::max(1.0, std::min(200.0, layout.value(DimensionInfo::labelWidth).toDouble() - 20.0));
    auto box = std::make_shared<LBTextArea>();
    box->setBoundsNoOtherChanges(QRectF(0, 0, width, h));
    box->setZoomFactor(_window.zoomFactor());
    box->setContents(*block);
    box->setTextBoxType(isMyField ? LBTextArea::ReturnAddressBox : LBTextArea::DeliveryAddressBox);
    return box;
}
