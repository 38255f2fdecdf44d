#pragma once

// The label sheet the merge benchmarks print and preview: a 30-up Letter sheet of
// 2.625 x 1 inch labels (3 x 10), the records of an imported text of three columns, and a
// text box of the three import fields (with the shipped field lists loaded, which name
// them).

#include "document/DimensionInfo.h"
#include "graphics/LBProcessState.h"
#include "graphics/LBTextArea.h"
#include "merge/LBMergeServices.h"
#include "platform/core/PropertyList.h"
#include "platform/text/AttributedString.h"

#include <QFile>
#include <QStringList>
#include <QVariantMap>

#include <memory>

inline constexpr double kLabelWidth = 189.0; // 2.625 in
inline constexpr double kLabelHeight = 72.0;
inline constexpr double kTop = 36.0;
inline constexpr double kLeft = 13.5;
inline constexpr double kGap = 9.0;

inline QVariantList fieldList(const QString& resource)
{
    QFile file(resource);
    file.open(QIODevice::ReadOnly);
    const auto list = platform::PropertyList::read(file.readAll(), nullptr);
    return list ? list->toList() : QVariantList();
}

inline void loadShippedFieldLists()
{
    using List = LBProcessState::FieldsList;
    LBProcessState::fieldsList(List::Standard) = fieldList(QStringLiteral(":/Fields.plist"));
    LBProcessState::fieldsList(List::My) = fieldList(QStringLiteral(":/MyFields.plist"));
    LBProcessState::fieldsList(List::Misc) = fieldList(QStringLiteral(":/MiscFields.plist"));
}

inline QStringList importedRecords(qint64 count)
{
    QStringList texts;
    texts.reserve(count * 3);
    for (qint64 r = 0; r < count; ++r) {
        texts << QStringLiteral("%1").arg(100000 + r) << QStringLiteral("Jordan Example %1").arg(r)
              << QStringLiteral("%1 Market Street, Springfield").arg(r % 997 + 1);
    }
    return texts;
}

// The layout dictionary's sheet: Letter, 3 x 10 labels from label 1.
inline void setThirtyUpSheet(QVariantMap& info)
{
    info[DimensionInfo::documentType] = 1;
    info[DimensionInfo::pageWidth] = 612;
    info[DimensionInfo::pageHeight] = 792;
    info[DimensionInfo::numRows] = 10;
    info[DimensionInfo::numColumns] = 3;
    info[DimensionInfo::labelWidth] = kLabelWidth;
    info[DimensionInfo::labelHeight] = kLabelHeight;
    info[DimensionInfo::topMargin] = kTop;
    info[DimensionInfo::leftMargin] = kLeft;
    info[DimensionInfo::hLabelSpace] = kGap;
    info[DimensionInfo::vLabelSpace] = 0;
    info[DimensionInfo::startLabel] = 1;
}

// "Import 1" to "Import 3", a line each, in a box at (8, 6) of the label.
inline std::shared_ptr<LBTextArea> importFieldsTextBox()
{
    auto box = std::make_shared<LBTextArea>();
    box->setBoundsNoOtherChanges(QRectF(8, 6, 120, 60));
    platform::AttributedString text;
    for (int field = 1; field <= 3; ++field) {
        const QString name = QStringLiteral("Import %1").arg(field);
        text.appendAttributedString(platform::AttributedString(
            name, {{LBQFieldAttributeName, LBMergeServices::fieldAttributeForFieldString(name)}}));
        if (field < 3)
            text.appendAttributedString(platform::AttributedString(QStringLiteral("\n")));
    }
    box->setContents(text);
    return box;
}
