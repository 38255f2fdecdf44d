#pragma once

// The editor fixture over the canvas's text view, with texts that hold merge fields.

#include "../platform/EditorTestSupport.h"

#include "canvas/LBTextView.h"

class FieldEditorTest : public EditorTestOf<LBTextView>
{
public:
    static QVariantMap field(const QString& key = QStringLiteral("First"))
    {
        QVariantMap attributes = plain();
        attributes.insert(LBQFieldAttributeName, QVariantMap{{QStringLiteral("Key"), key}});
        return attributes;
    }

    // "Dear " + a field "Name" (characters 5-8) + ", hi".
    void setTextWithField()
    {
        platform::AttributedString text(QStringLiteral("Dear "), plain());
        text.appendAttributedString(platform::AttributedString(QStringLiteral("Name"), field()));
        text.appendAttributedString(platform::AttributedString(QStringLiteral(", hi"), plain()));
        storage.setAttributedString(text);
    }
    bool isField(qsizetype index) const
    {
        return storage.attributedString().attribute(LBQFieldAttributeName, index).isValid();
    }
};
