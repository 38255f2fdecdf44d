#pragma once

// The text panes' tests: the inspector fixture with the text panes in the pane table, text
// boxes of attributed runs, and the panes' views.

#include "InspectorTestSupport.h"

#include "inspector/HUDTextPanes.h"
#include "platform/text/AttributedString.h"
#include "platform/text/FontManager.h"
#include "platform/text/ParagraphStyle.h"

#include <QColor>
#include <QFont>

// A run of text with a font (family, face, size) and optional colour.
struct Run
{
    Run(const QString& text, const QFont& font, const QColor& color = QColor())
        : text(text), font(font), color(color)
    {}
    QString text;
    QFont font;
    QColor color;
};

inline platform::AttributedString runs(const QList<Run>& list)
{
    platform::AttributedString string;
    for (const Run& run : list) {
        QVariantMap attributes{{platform::FontAttributeName, QVariant::fromValue(run.font)}};
        if (run.color.isValid())
            attributes.insert(platform::ForegroundColorAttributeName, run.color);
        string.appendAttributedString(platform::AttributedString(run.text, attributes));
    }
    return string;
}

// The first installed face of a family that is upright and of that weight.
inline QFont fontOf(const QString& family, double size, int weight = QFont::Normal)
{
    platform::FontManager& manager = platform::FontManager::sharedFontManager();
    for (const auto& member : manager.availableMembersOfFontFamily(family))
        if (!member.italic && member.weight == weight)
            return *manager.fontWithFamily(family, member.faceName, size);
    QFont font;
    font.setFamilies({family});
    font.setPointSizeF(size);
    return font;
}

class TextPaneTest : public InspectorTest
{
protected:
    TextPaneTest() { registerTextPanes(); }

    // A text box of the runs, put in front of the layer without undo.
    std::shared_ptr<LBTextArea> box(const platform::AttributedString& text,
                                    const QRectF& bounds = QRectF(100, 100, 200, 60))
    {
        auto graphic = addTextBox(bounds, QStringLiteral("x"));
        undo()->disableUndoRegistration();
        graphic->setContents(text);
        undo()->enableUndoRegistration();
        return graphic;
    }

    // Selects the graphics and shows the pane.
    template <typename View>
    View* show(const QList<LBGraphicPtr>& graphics, int tag)
    {
        selectOnly(graphics);
        palette->toolsPopupAction(tag);
        closeStep();
        return palette->window()->findChild<View*>();
    }

    static QString familyOfFont(const QFont& font) { return font.families().value(0); }
    static QFont fontAt(const LBTextArea& box, qsizetype index)
    {
        return box.contents()
            ->attributedString()
            .attribute(platform::FontAttributeName, index)
            .value<QFont>();
    }
};

// Two installed families that differ, used across the font tests.
inline QString firstFamily()
{
    return QStringLiteral("DejaVu Sans");
}

inline QString secondFamily()
{
    return QStringLiteral("Liberation Serif");
}
