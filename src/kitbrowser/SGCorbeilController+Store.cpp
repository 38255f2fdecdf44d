// The store's queries: kit lists, authors, filters, the last import, the graphics query.

#include "kitbrowser/SGCorbeilController.h"

#include "kitbrowser/SGCorbeilControllerPrivate.h"
#include "platform/core/UserDefaults.h"

#include <QSet>

#include <algorithm>

using sgstore::Predicate;

QList<SGKitRecord> SGCorbeilController::allKits()
{
    return allKitsSortedBy(QStringLiteral("name"));
}

QList<SGKitRecord> SGCorbeilController::allKitsSortedBy(const QString& attribute)
{
    SGCorbeilStore& store = d->openStore();
    QList<SGKitRecord> kits = store.kits(Predicate(), attribute);
    // The first list of a controller is checked against "Kits", then read again in the
    // order asked for.
    if (d->verifyPending && verifyAllKits(kits) != kits)
        kits = store.kits(Predicate(), attribute);
    return kits;
}

QList<SGKitRecord> SGCorbeilController::insertAllKitsItemInKitsArray(const QList<SGKitRecord>& kits)
{
    QList<SGKitRecord> result;
    result.reserve(kits.size() + 1);
    result.append(d->theAllKitsItem());
    result.append(kits);
    return result;
}

QList<SGKitRecord> SGCorbeilController::allAuthors()
{
    return allAuthorsFilteredByWords({});
}

QList<SGKitRecord> SGCorbeilController::allAuthorsFilteredByWords(const QStringList& words)
{
    QList<SGKitRecord> authors;
    QSet<QString> seen;
    for (const SGKitRecord& kit : allKitsSortedBy(QStringLiteral("author"))) {
        if (seen.contains(kit.author))
            continue;
        seen.insert(kit.author);
        const QString author = sgstore::folded(kit.author);
        const bool matches = std::all_of(words.cbegin(), words.cend(), [&](const QString& word) {
            return author.contains(sgstore::folded(word));
        });
        if (matches)
            authors.append(kit);
    }
    return authors;
}

QList<SGKitRecord> SGCorbeilController::allKitsForAuthor(const QString& author,
                                                         const QString& orColor,
                                                         bool primaryColorOnly)
{
    Predicate where;
    if (!author.isNull()) {
        where = Predicate::equals(QStringLiteral("author"), author);
    } else if (!orColor.isNull()) {
        const Predicate primary =
            Predicate::hasElement(QStringLiteral("primaryColorString"), orColor);
        where = primaryColorOnly
                    ? primary
                    : Predicate::anyOf(
                        {primary,
                         Predicate::hasElement(QStringLiteral("secondaryColorString"), orColor)});
    } else {
        return {};
    }
    return d->openStore().kits(where, QStringLiteral("name"));
}

QList<SGKitRecord> SGCorbeilController::filterKitsArrayByKitType(const QList<SGKitRecord>& kits,
                                                                 const QString& kitType)
{
    QList<SGKitRecord> result;
    for (const SGKitRecord& kit : kits) {
        if (kit.kitType == kitType)
            result.append(kit);
    }
    return result;
}

QList<SGKitRecord> SGCorbeilController::filterKitsArrayByTypeSubtype(const QList<SGKitRecord>& kits,
                                                                     const QString& type,
                                                                     const QString& subtype)
{
    // Whole elements of the lists, so a type or subtype never matches another that holds its
    // name ("Clip" and "Paper Clip").
    const auto hasElement = [](const QString& list, const QString& element) {
        return list.split(u'|').contains(element);
    };
    QList<SGKitRecord> result;
    for (const SGKitRecord& kit : kits) {
        if (hasElement(kit.typeString, type)
            && (subtype.isEmpty() || hasElement(kit.subtypeString, subtype)))
            result.append(kit);
    }
    return result;
}

QList<SGKitRecord> SGCorbeilController::lastImportKitsFromArray(const QList<SGKitRecord>& kits)
{
    QList<SGKitRecord> result;
    const QString names =
        platform::UserDefaults::standardUserDefaults().stringForKey(sgbrowser::LastImportStringKey);
    if (names.isEmpty())
        return result;
    for (const QString& name : names.split(sgbrowser::LastImportSeparator)) {
        for (const SGKitRecord& kit : kits) {
            if (kit.filename == name)
                result.append(kit);
        }
    }
    return result;
}

QStringList SGCorbeilController::typesOfKits()
{
    QStringList types = d->openStore().distinctKitTypes();
    std::sort(types.begin(), types.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return types;
}

QList<SGObjectRecord> SGCorbeilController::objectsMatchingWords(
    const QStringList& words, const std::optional<SGKitRecord>& kit, const QString& kitType,
    const QString& type, const QString& author, const QString& primaryColor,
    const QStringList& secondaryColors, bool matchPrimaryColor, const QString& orientation,
    const QString& paperStyle, const QString& numberOfPictures)
{
    QList<Predicate> parts;
    QString graphicType = type;
    QString subtype;
    const bool allTypes = type == d->localized(QStringLiteral("ALL TYPES"));
    if (type.startsWith(QStringLiteral("   "))) {
        subtype = type.mid(3);
        graphicType = d->localized(QStringLiteral("Embellishment"));
    }
    if (d->showLastImport) {
        QList<Predicate> names;
        const QString stored = platform::UserDefaults::standardUserDefaults().stringForKey(
            sgbrowser::LastImportStringKey);
        if (!stored.isEmpty()) {
            for (const QString& name : stored.split(sgbrowser::LastImportSeparator))
                names.append(Predicate::equals(QStringLiteral("k.filename"), name));
        }
        parts.append(Predicate::anyOf(names));
    }
    if (!author.isNull())
        parts.append(Predicate::equals(QStringLiteral("k.author"), author));
    if (!kitType.isNull())
        parts.append(Predicate::equals(QStringLiteral("k.kitType"), kitType));
    // The kit record itself: two packages of one kit (a copy added by hand) stay apart.
    if (kit && !kit->isAllKitsItem())
        parts.append({QStringLiteral("o.kit = ?"), {kit->id}});
    if (!allTypes && !graphicType.isNull()) {
        parts.append(Predicate::equals(QStringLiteral("o.type"), graphicType));
        if (!subtype.isEmpty())
            parts.append(Predicate::equals(QStringLiteral("o.subtype"), subtype));
    }
    const auto colorTest = [&](const QString& color, bool primaryOnly) {
        const Predicate primary = Predicate::equals(QStringLiteral("o.primaryColorName"), color);
        const Predicate secondary =
            Predicate::hasElement(QStringLiteral("o.secondaryColorNames"), color);
        return primaryOnly ? primary : Predicate::anyOf({primary, secondary});
    };
    if (!primaryColor.isNull())
        parts.append(colorTest(primaryColor, matchPrimaryColor));
    if (!orientation.isNull())
        parts.append(Predicate::equals(QStringLiteral("o.orientation"), orientation));
    if (!paperStyle.isNull())
        parts.append(Predicate::equals(QStringLiteral("o.paperType"), paperStyle));
    if (!numberOfPictures.isNull())
        parts.append(Predicate::equals(QStringLiteral("o.numberOfPictures"), numberOfPictures));
    for (const QString& word : words) {
        parts.append(
            Predicate::anyOf({Predicate::containsFolded(QStringLiteral("o.name"), word),
                              Predicate::containsFolded(QStringLiteral("o.tagString"), word)}));
    }
    // Each chosen secondary colour: in the secondary colours when only primary colours are to
    // match, else as primary or secondary colour.
    for (const QString& color : secondaryColors) {
        parts.append(matchPrimaryColor
                         ? Predicate::hasElement(QStringLiteral("o.secondaryColorNames"), color)
                         : colorTest(color, false));
    }
    return d->openStore().objects(Predicate::allOf(parts));
}
