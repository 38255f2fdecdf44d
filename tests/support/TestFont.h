#pragma once

// The font the text tests measure with: DejaVu Sans, kept with the tests and loaded once,
// so metrics do not depend on the fonts installed.

#include <QFont>
#include <QFontDatabase>
#include <QString>
#include <QStringList>

inline QFont testFont(qreal pointSize = 12)
{
    static const QString family = [] {
        const int id = QFontDatabase::addApplicationFont(QStringLiteral(VELTRIN_TEST_FONT));
        return QFontDatabase::applicationFontFamilies(id).value(0);
    }();
    QFont font(family);
    font.setPointSizeF(pointSize);
    return font;
}

// DejaVu Sans at 12 points: ascent and descent of a line, in points.
constexpr double TestAscent = 11.14;
constexpr double TestDescent = 2.83;
constexpr double TestLineHeight = TestAscent + TestDescent;
