#include "platform/text/FontManager.h"

#include <QFontDatabase>
#include <QFontInfo>

#include <algorithm>
#include <cmath>
#include <future>

namespace platform {

namespace {

std::future<void>& fontsRead()
{
    static std::future<void> read;
    return read;
}

} // namespace

void FontManager::readFontsInBackground()
{
    std::future<void>& read = fontsRead();
    if (!read.valid())
        read = std::async(std::launch::async, [] { QFontDatabase::families(); });
}

void FontManager::waitForFontsRead()
{
    if (const std::future<void>& read = fontsRead(); read.valid())
        read.wait();
}

FontManager& FontManager::sharedFontManager()
{
    // Never destroyed: a font may not outlive the application object.
    static FontManager* manager = new FontManager;
    return *manager;
}

QString FontManager::familyOfFont(const QFont& font)
{
    const QStringList families = font.families();
    return families.isEmpty() ? font.family() : families.first();
}

double FontManager::pointSizeOfFont(const QFont& font)
{
    if (font.pointSizeF() > 0)
        return font.pointSizeF();
    return font.pixelSize() > 0 ? font.pixelSize() : 12.0;
}

bool FontManager::compareFontNames(const QString& a, const QString& b)
{
    const int folded = QString::compare(a, b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : a < b;
}

QStringList FontManager::availableFontFamilies() const
{
    QStringList families;
    for (const QString& family : QFontDatabase::families())
        families.append(familyWithoutFoundry(family));
    families.removeDuplicates();
    // Private families of the font system (".Something") are not offered.
    families.erase(std::remove_if(families.begin(), families.end(),
                                  [](const QString& family) {
                                      return family.isEmpty() || family.startsWith(QLatin1Char('.'))
                                             || QFontDatabase::isPrivateFamily(family);
                                  }),
                   families.end());
    std::sort(families.begin(), families.end(), compareFontNames);
    return families;
}

QString FontManager::familyWithoutFoundry(const QString& family)
{
    if (!family.endsWith(QLatin1Char(']')))
        return family;
    const qsizetype open = family.lastIndexOf(QStringLiteral(" ["));
    return open > 0 ? family.left(open) : family;
}

QList<FontManager::Member> FontManager::availableMembersOfFontFamily(const QString& family) const
{
    QList<Member> members;
    if (family.isEmpty())
        return members;
    // A slanted face is an oblique one as much as an italic one. The database's italic() is
    // false for an oblique face, which made an upright text in a family with an "Oblique"
    // face (DejaVu Sans, Sans Serif) show that face, and take it when moved to the family.
    for (const QString& style : QFontDatabase::styles(family))
        members.append(
            Member{family, style, QFontDatabase::weight(family, style),
                   QFontDatabase::font(family, style, 12).style() != QFont::StyleNormal});
    return members;
}

QString FontManager::faceNameForFont(const QFont& font) const
{
    const QList<Member> members = availableMembersOfFontFamily(familyOfFont(font));
    if (members.isEmpty())
        return QString();
    QString face;
    if (!font.styleName().isEmpty()) {
        for (const Member& member : members)
            if (member.faceName == font.styleName())
                face = member.faceName;
    }
    if (face.isEmpty()) {
        const bool italic = font.style() != QFont::StyleNormal;
        for (const Member& member : members)
            if (member.weight == font.weight() && member.italic == italic)
                face = member.faceName;
    }
    return face.isEmpty() ? members.first().faceName : face;
}

std::optional<QFont> FontManager::fontWithFamily(const QString& family, const QString& faceName,
                                                 double size) const
{
    for (const Member& member : availableMembersOfFontFamily(family)) {
        if (member.faceName != faceName)
            continue;
        QFont font;
        // Exactly this family: the constructor would split a name at commas.
        font.setFamilies({family});
        font.setStyleName(faceName);
        font.setWeight(QFont::Weight(member.weight));
        font.setItalic(member.italic);
        font.setPointSizeF(size > 0 ? size : 12.0);
        return font;
    }
    return std::nullopt;
}

QFont FontManager::convertFontToFamily(const QFont& font, const QString& family) const
{
    const QList<Member> members = availableMembersOfFontFamily(family);
    if (members.isEmpty())
        return font;
    const QString face = faceNameForFont(font);
    const bool italic = font.style() != QFont::StyleNormal;
    const Member* best = nullptr;
    for (const Member& member : members)
        if (!face.isEmpty() && member.faceName == face)
            best = &member;
    if (!best) {
        // The nearest weight of the same slant, else of any slant.
        int bestDistance = 0;
        for (int pass = 0; pass < 2 && !best; ++pass)
            for (const Member& member : members) {
                if (pass == 0 && member.italic != italic)
                    continue;
                const int distance = std::abs(member.weight - font.weight());
                if (!best || distance < bestDistance) {
                    best = &member;
                    bestDistance = distance;
                }
            }
    }
    return fontWithFamily(family, best->faceName, pointSizeOfFont(font)).value_or(font);
}

QFont FontManager::convertFontToFace(const QFont& font, const QString& faceName) const
{
    return fontWithFamily(familyOfFont(font), faceName, pointSizeOfFont(font)).value_or(font);
}

QFont FontManager::convertFontToSize(const QFont& font, double size) const
{
    if (!(size > 0) || !std::isfinite(size))
        return font;
    QFont converted(font);
    converted.setPointSizeF(size);
    return converted;
}

} // namespace platform
