#pragma once

// The program's font panel as the rest of the program sees it: the font the user chose
// there last, if any (text typed into an empty text box starts in that font), and the
// fonts installed: families, the faces (members) of a family, and conversions of a font to
// another family, face or size that keep what the target allows of the rest.
//
// A family's members are (family, face) pairs: the face is the font system's style name
// ("Bold", "Condensed Oblique"); a font records its face as its style name, or else by its
// weight and slant. Process-wide, main thread only.

#include <QFont>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace platform {

class FontManager
{
public:
    static FontManager& sharedFontManager();

    // Reads the fonts installed on a thread of its own (the font database may be used from
    // any thread), for a launch to go on meanwhile instead of waiting at its first text.
    // waitForFontsRead() waits for that read: before the application object goes.
    static void readFontsInBackground();
    static void waitForFontsRead();

    // The font selected in the font panel; none until the user (or the program) picks one.
    std::optional<QFont> selectedFont() const { return _selectedFont; }
    void setSelectedFont(const std::optional<QFont>& font) { _selectedFont = font; }

    // One face of a family.
    struct Member
    {
        QString family;
        QString faceName;
        int weight = QFont::Normal;
        bool italic = false;
        bool operator==(const Member&) const = default;
    };

    // Every installed family once, sorted without regard to case (compareFontNames()); a
    // family installed by several foundries is listed by its own name.
    QStringList availableFontFamilies() const;
    // The family name without the " [foundry]" the font system adds to tell apart copies of
    // one family from several foundries.
    static QString familyWithoutFoundry(const QString& family);
    // The faces of the family in the font system's order (regular faces first where it
    // knows them); empty for an unknown family.
    QList<Member> availableMembersOfFontFamily(const QString& family) const;
    // The family a font names (its first, when it lists fallbacks) and its size in points
    // (pixels counted as points; 12 when it has neither).
    static QString familyOfFont(const QFont& font);
    static double pointSizeOfFont(const QFont& font);
    // The case-insensitive order of the family list; equal names fall back to the plain
    // comparison so the order is total.
    static bool compareFontNames(const QString& a, const QString& b);

    // The face of the font among its family's members: the one its style name names, else
    // the one of its weight and slant (the last such wins); the family's first face when
    // none fits; empty for an unknown family.
    QString faceNameForFont(const QFont& font) const;
    // The font of that face of the family at the size; none when the family has no such
    // face.
    std::optional<QFont> fontWithFamily(const QString& family, const QString& faceName,
                                        double size) const;

    // The font in another family, keeping the face where the family has it (by name, or
    // else the nearest weight of the same slant) and the size; the font itself for an
    // unknown family.
    QFont convertFontToFamily(const QFont& font, const QString& family) const;
    // Another face of the font's family at the same size; the font itself when the family
    // has no such face.
    QFont convertFontToFace(const QFont& font, const QString& faceName) const;
    // The font at another size (points); the font itself for a size that is not positive.
    QFont convertFontToSize(const QFont& font, double size) const;

private:
    FontManager() = default;
    std::optional<QFont> _selectedFont;
};

} // namespace platform
