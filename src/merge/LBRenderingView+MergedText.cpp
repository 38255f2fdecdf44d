// The merged text of a label cell: field runs replaced by the record's values, bracket
// groups and repeat blocks resolved, blank lines removed, lines fitted to the box.

#include "merge/LBRenderingView.h"

#include "graphics/LBTextArea.h"
#include "merge/LBMergeServices.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/Image.h"
#include "platform/text/AttributedString.h"
#include "window/LBWindowController.h"

#include <QHash>

#include <cmath>

using platform::AttributedString;
using platform::Range;

namespace {

bool isLineBreak(QChar c)
{
    return c == QLatin1Char('\n') || c == QLatin1Char('\r');
}

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// The run's deletion range widened so that a line left empty goes with its line break.
Range blankLineRange(const QString& text, qsizetype p, qsizetype n)
{
    const qsizetype end = p + n;
    if (end < text.size()) {
        const QChar next = text.at(end);
        if (next == QLatin1Char(' '))
            return Range(p, n + 1);
        if (!isLineBreak(next))
            return Range(p, n);
        const qsizetype breakLength = (next == QLatin1Char('\r') && end + 1 < text.size()
                                       && text.at(end + 1) == QLatin1Char('\n'))
                                          ? 2
                                          : 1;
        if (p == 0)
            return Range(p, n + breakLength);
        for (qsizetype q = p - 1; q >= 0; --q) {
            if (isLineBreak(text.at(q)))
                return Range(q + 1, end + breakLength - (q + 1));
            if (!isBlank(text.at(q)))
                break;
        }
        return Range(p, n);
    }
    for (qsizetype q = p - 1; q >= 0; --q) {
        if (isLineBreak(text.at(q)))
            return Range(q, end - q);
        if (!isBlank(text.at(q)))
            break;
    }
    return Range(p, n);
}

// The values of the fields that mark bracket groups and repeat blocks.
const QString leftBracket = QStringLiteral("kLBQLeftBracketProperty");
const QString rightBracket = QStringLiteral("kLBQRightBracketProperty");
const QString repeatStartMarker = QStringLiteral("kLBQRepeatStartProperty");
const QString repeatStopMarker = QStringLiteral("kLBQRepeatStopProperty");

bool isMarker(const QString& value)
{
    return value == leftBracket || value == rightBracket || value == repeatStartMarker
           || value == repeatStopMarker;
}

// "ANNE" makes the value upper case, "anne" lower case, anything else leaves it.
enum class CaseMode { Keep, Upper, Lower };

CaseMode caseModeOfName(const QString& name)
{
    // A sheet asks for the same few field names on every label: each is judged once.
    thread_local QHash<QString, CaseMode> known;
    if (const auto it = known.constFind(name); it != known.cend())
        return *it;
    CaseMode mode = CaseMode::Keep;
    if (name == name.toUpper() && name != name.toLower())
        mode = CaseMode::Upper;
    else if (name == name.toLower() && name != name.toUpper())
        mode = CaseMode::Lower;
    if (known.size() >= 1024)
        known.clear();
    known.insert(name, mode);
    return mode;
}

QString applyCase(const QString& value, CaseMode mode)
{
    switch (mode) {
    case CaseMode::Upper: return value.toUpper();
    case CaseMode::Lower: return value.toLower();
    case CaseMode::Keep: break;
    }
    return value;
}

// The attributes of the field run at index without the field. A box brings the same few
// runs on every label, so each is stripped once; the stripped map is the very map of an
// equal neighbour (or of an equal earlier result), so the merged runs join without their
// contents being compared, and every label's runs share one map.
QVariantMap attributesWithoutField(const AttributedString& text, qsizetype index)
{
    Range run;
    const QVariantMap attributes = text.attributesAtIndex(index, &run);
    thread_local QList<std::pair<QVariantMap, QVariantMap>> known;
    for (const auto& [source, stripped] : std::as_const(known))
        if (source.isSharedWith(attributes))
            return stripped;
    QVariantMap stripped = attributes;
    stripped.remove(LBQFieldAttributeName);
    const auto adopt = [&](const QVariantMap& other) {
        if (!other.isSharedWith(stripped) && other == stripped)
            stripped = other;
    };
    if (run.location > 0)
        adopt(text.attributesAtIndex(run.location - 1));
    if (run.end() < text.length())
        adopt(text.attributesAtIndex(run.end()));
    for (const auto& entry : std::as_const(known))
        adopt(entry.second);
    // The source is held, so its data cannot come back as another map's.
    if (known.size() >= 64)
        known.clear();
    known.append({attributes, stripped});
    return stripped;
}

// The width of the text on one line, measured without its paragraph style.
double lineWidth(const AttributedString& line)
{
    AttributedString plain = line;
    plain.removeAttribute(platform::ParagraphStyleAttributeName, Range(0, plain.length()));
    return plain.size().width();
}

constexpr int MaxFittingSteps = 50;
constexpr double MinFittingProgress = 0.01;

} // namespace

// The factors of one drawing of a text area: those found (while building) and those to
// apply (from the cache), each in line order.
struct LBRenderingView::FitState
{
    bool building = false;
    const QList<double>* shrinkIn = nullptr;
    const QList<double>* expandIn = nullptr;
    qsizetype shrinkNext = 0;
    qsizetype expandNext = 0;
    QList<double> shrinkOut;
    QList<double> expandOut;
};

LBMergeServices* LBRenderingView::mergeServices() const
{
    return _contactServer ? dynamic_cast<LBMergeServices*>(_contactServer->mergeServices())
                          : nullptr;
}

QList<AttributedString> LBRenderingView::breakStringIntoLines(const AttributedString& text)
{
    QList<AttributedString> lines;
    for (qsizetype i = 0; i < text.length();) {
        const Range r = text.paragraphRange(i);
        lines.append(text.attributedSubstringFromRange(r));
        i = r.location + std::max<qsizetype>(1, r.length);
    }
    return lines;
}

AttributedString LBRenderingView::joinLinesIntoString(const QList<AttributedString>& lines)
{
    if (lines.size() == 1)
        return lines.first();
    AttributedString joined;
    for (const AttributedString& line : lines)
        joined.appendAttributedString(line);
    return joined;
}

Range LBRenderingView::findFieldWithName(const QString& propertyName, const AttributedString* text)
{
    Range found(0, 0);
    if (!text)
        return found;
    text->enumerateAttribute(LBQFieldAttributeName, Range(0, text->length()),
                             [&](const QVariant& value, const Range& range, bool& stop) {
                                 if (value.isNull())
                                     return;
                                 if (LBMergeServices::propertyNameForFieldStr(
                                         text->string().mid(range.location, range.length))
                                     == propertyName) {
                                     found = range;
                                     stop = true;
                                 }
                             });
    return found;
}

QString LBRenderingView::stringForField(LBMergeServices& services, const QVariantMap& field,
                                        const QVariantMap& fieldAttribute, qint64 kind,
                                        qint64 record)
{
    switch (kind) {
    case 3: return services.stringForDateField(field, fieldAttribute, record);
    case 13: return services.stringForTimeField(field, fieldAttribute, record);
    case 14: return services.stringForPhoneField(field, fieldAttribute, record);
    case 16: return services.stringForMultiDateField(field, fieldAttribute, record);
    case 7: return services.stringForCustomField(field, record);
    case 10:
        return LBMergeServices::stringForCounterField(field, fieldAttribute, _counter,
                                                      labelRepeatCount() * numSelectedPeople());
    case 11: return services.stringForImportField(field, _contactIndex);
    case 8: return QString(); // an identity without a value
    default:
        if (kind >= 0 && kind < 7)
            return services.stringForStandardField(field, record);
        return QString();
    }
}

bool LBRenderingView::processTextFields(AttributedString& t, const LBTextArea& g)
{
    if (_contactIndex == -1)
        return false;
    LBMergeServices* services = mergeServices();
    if (!services)
        return false;
    const bool autoDelete = platform::UserDefaults::standardUserDefaults().boolForKey(
        QStringLiteral("Auto Delete Blank Lines"));
    qsizetype bracketStart = -1;
    qsizetype repeatStart = -1;
    bool producedSinceBracket = false;
    bool changed = false;
    // Deletes [p, p + n), widened for a blank line when asked; the scan goes on at the
    // start of what was deleted.
    qsizetype pos = 0;
    const auto remove = [&](qsizetype p, qsizetype n, bool blankLines) {
        const Range r = blankLines && autoDelete ? blankLineRange(t.string(), p, n) : Range(p, n);
        t.replaceCharactersInRange(r, QString());
        pos = r.location;
        changed = true;
    };
    while (pos < t.length()) {
        Range run;
        const QVariant attribute = t.attribute(LBQFieldAttributeName, pos, &run);
        if (attribute.isNull()) {
            pos = run.location + std::max<qsizetype>(1, run.length);
            continue;
        }
        const qsizetype p = run.location;
        const qsizetype n = run.length;
        const QString name = t.string().mid(p, n);
        const QString lookup =
            name.compare(QLatin1String("Address(1-line)"), Qt::CaseInsensitive) == 0
                ? QStringLiteral("Address (1-line)")
                : name;
        bool isMyField = false;
        const std::optional<QVariantMap> field =
            LBMergeServices::fieldForFieldName(lookup, &isMyField);
        if (!field) {
            pos = p + n;
            continue;
        }
        const CaseMode caseMode = caseModeOfName(name);
        const qint64 record = isMyField ? -1 : _contactIndex;
        const qint64 kind = field->value(QStringLiteral("propertyType")).toLongLong();
        const QVariantMap fieldAttribute = attribute.toMap();

        if (kind == 8) {
            std::optional<AttributedString> value = services->fieldStringForIdentityField(
                *field, fieldAttribute, record, g.addressIndexForContactUID(_contactUID, nullptr));
            if (value && !value->isEmpty()) {
                const QVariantMap first = value->attributesAtIndex(0);
                AttributedString converted(applyCase(value->string(), caseMode), first);
                converted.addAttributes(attributesWithoutField(t, p), Range(0, converted.length()));
                t.replaceCharactersInRange(Range(p, n), converted);
                pos = p; // the new run is resolved in turn
                producedSinceBracket = true;
                changed = true;
                continue;
            }
        } else if (kind == 9) {
            const platform::ImagePtr image = services->imageForField(*field, record);
            if (!image) {
                remove(p, n, false);
                continue;
            }
            // The picture travels as a TIFF ("image.tif", LZW) in the attachment.
            platform::ImagePtr attached =
                platform::Image::fromData(image->TIFFRepresentationUsingLZW());
            AttributedString picture =
                AttributedString::attributedStringWithImage(attached ? attached : image);
            picture.addAttributes(attributesWithoutField(t, p), Range(0, 1));
            t.replaceCharactersInRange(Range(p, n), picture);
            pos = p + 1;
            producedSinceBracket = true;
            changed = true;
            continue;
        }

        const QString value = stringForField(*services, *field, fieldAttribute, kind, record);

        if (value == leftBracket && repeatStart < 0) {
            bracketStart = p;
            producedSinceBracket = false;
            remove(p, n, false);
        } else if (value == rightBracket && repeatStart < 0) {
            const bool dropGroup = !producedSinceBracket && bracketStart >= 0;
            const qsizetype from = dropGroup ? bracketStart : p;
            bracketStart = -1;
            remove(from, p + n - from, !producedSinceBracket);
        } else if (value == repeatStartMarker && repeatStart < 0) {
            remove(p, n, true);
            repeatStart = pos;
        } else if (value == repeatStopMarker) {
            if (repeatStart >= 0) {
                const AttributedString block =
                    t.attributedSubstringFromRange(Range(repeatStart, p - repeatStart));
                const qint64 saved = _contactIndex;
                AttributedString repeated;
                const qint64 people = numSelectedPeople();
                for (qint64 i = 0; i < people; ++i) {
                    _contactIndex = i;
                    AttributedString copy = block;
                    processTextFields(copy, g);
                    repeated.appendAttributedString(copy);
                }
                _contactIndex = saved;
                t.replaceCharactersInRange(Range(repeatStart, p - repeatStart), repeated);
                const qsizetype stop = repeatStart + repeated.length();
                repeatStart = -1;
                remove(stop, n, true);
            } else {
                remove(p, n, true);
            }
        } else if (repeatStart >= 0) {
            pos = p + n; // resolved for each person at the stop marker
        } else if (!value.isEmpty()) {
            const QString text = applyCase(value, caseMode);
            AttributedString replacement(text, attributesWithoutField(t, p));
            t.replaceCharactersInRange(Range(p, n), replacement);
            pos = p + text.size();
            producedSinceBracket = true;
            changed = true;
        } else {
            remove(p, n, true);
        }
    }
    return changed;
}

void LBRenderingView::fitLine(AttributedString& line, LBTextArea& copy, quint64 mask,
                              FitState& state)
{
    double w = lineWidth(line);
    if (w <= 0.0)
        return;
    QRectF bounds = copy.bounds();
    const double W = bounds.width();
    const bool useCache = !state.building && (state.shrinkIn || state.expandIn);
    // Repeats f = target / width until it overshoots, then steps of 0.99 until it fits;
    // at most MaxFittingSteps steps, and none more once a step hardly moves the width
    // of a line that fits.
    const auto fit = [&](double margin, bool grow, auto apply) {
        double product = 1.0;
        bool overshot = false;
        double f = grow ? W / w : W / (w + margin);
        for (int step = 0; step < MaxFittingSteps; ++step) {
            if (f == 1.0)
                break;
            apply(f);
            product *= f;
            const double before = w;
            w = lineWidth(line);
            if (w + margin > W) {
                overshot = true;
                f = 0.99;
            } else if (!overshot) {
                f = grow ? W / w : W / (w + margin);
            }
            if (overshot && w + margin < W)
                break;
            // A line that does not respond to scaling (a picture alone) ends the loop;
            // once too wide, the small steps go on until the line fits.
            if (!overshot && std::abs(w - before) < MinFittingProgress)
                break;
        }
        return product;
    };
    const auto scaleFont = [&](double f) { LBTextArea::adjustFontSizeInString(line, f); };
    const auto scaleKerning = [&](double f) { LBTextArea::adjustKerningInString(line, f, false); };
    if (w + 10.0 <= W) {
        const bool fontGrows = (mask & LBTextArea::IncreaseFont) != 0;
        const bool kerningGrows = (mask & LBTextArea::IncreaseSpacing) != 0 && line.length() > 1;
        if (!(w + 15.0 < W) || !(fontGrows || kerningGrows))
            return;
        if (useCache) {
            if (!state.expandIn || state.expandNext >= state.expandIn->size())
                return;
            const double f = state.expandIn->at(state.expandNext++);
            fontGrows ? scaleFont(f) : scaleKerning(f);
            return;
        }
        const double product =
            fontGrows ? fit(15.0, true, scaleFont) : fit(15.0, true, scaleKerning);
        if (state.building)
            state.expandOut.append(product);
        return;
    }
    if (mask & (LBTextArea::ResizeLeftSide | LBTextArea::ResizeRightSide)) {
        const double newWidth = w + 10.0;
        const bool left = mask & LBTextArea::ResizeLeftSide;
        const bool right = mask & LBTextArea::ResizeRightSide;
        if (left && right)
            bounds.setX(bounds.center().x() - newWidth / 2.0);
        else if (left)
            bounds.setX(bounds.right() - newWidth);
        bounds.setWidth(newWidth);
        copy.setBoundsNoOtherChanges(bounds);
        return;
    }
    if (!(mask & LBTextArea::ReduceFont))
        return;
    if (useCache) {
        const double f = state.shrinkIn && state.shrinkNext < state.shrinkIn->size()
                             ? state.shrinkIn->at(state.shrinkNext++)
                             : 1.0;
        scaleFont(f);
        return;
    }
    const double product = fit(10.0, false, scaleFont);
    if (state.building)
        state.shrinkOut.append(product);
}

// A box that may make its font smaller and may not grow in height: merged text with more
// lines than the box holds (an address with a company, a second street line and a
// country) is made smaller until every line lies within the box, rather than cut off at
// its top and bottom. Measured anew for each label: it depends on the record alone.
void LBRenderingView::shrinkToHeight(LBTextArea& box)
{
    const double room = box.bounds().height();
    double height = box.textHeight();
    if (room <= 0.0 || height <= room || !box.contents())
        return;
    AttributedString text = box.contents()->attributedString();
    for (int step = 0; step < MaxFittingSteps && height > room; ++step) {
        LBTextArea::adjustFontSizeInString(text, step == 0 ? room / height : 0.97);
        box.setContents(text);
        height = box.textHeight();
    }
}

LBGraphicPtr LBRenderingView::textObjectForDrawing(const LBGraphicPtr& g)
{
    auto* text = dynamic_cast<LBTextArea*>(g.get());
    if (!text)
        return g;
    const quint64 mask = text->textResizeMask();
    const std::optional<AttributedString> edited =
        text->editedTextForLabelIndex(_counter, _contactUID, nullptr);
    FitState state;
    // The record's factors are kept the first time it is drawn (or measured ahead) and
    // applied after that; a label with a text of its own is measured every time.
    if (_cachedTextAdjustments && _contactIndex >= 0 && !printing() && !edited) {
        const auto shrink = text->shrinkMultipliers().constFind(_contactIndex);
        const auto expand = text->expandMultipliers().constFind(_contactIndex);
        const bool kept = shrink != text->shrinkMultipliers().cend();
        if (kept && !_buildMultiplierArrays) {
            state.shrinkIn = &*shrink;
            if (expand != text->expandMultipliers().cend())
                state.expandIn = &*expand;
        }
        state.building = !kept;
    }
    const AttributedString source =
        edited ? *edited
               : (text->contents() ? text->contents()->attributedString() : AttributedString());
    LBGraphicPtr copy;
    const auto makeCopy = [&]() -> LBTextArea& {
        if (!copy)
            copy = g->copy();
        return static_cast<LBTextArea&>(*copy);
    };

    if (mask == 0) {
        if (!_buildMultiplierArrays) {
            AttributedString merged = source;
            if (processTextFields(merged, *text) || edited)
                makeCopy().setContents(merged);
        }
    } else {
        QList<AttributedString> lines = breakStringIntoLines(source);
        bool anyChanged = false;
        for (AttributedString& line : lines) {
            if (!processTextFields(line, *text) || line.isEmpty())
                continue;
            anyChanged = true;
            LBTextArea& target = makeCopy();
            QList<AttributedString> pieces = breakStringIntoLines(line);
            for (AttributedString& piece : pieces)
                fitLine(piece, target, mask, state);
            line = joinLinesIntoString(pieces);
        }
        if (anyChanged || (copy && edited)) {
            LBTextArea& target = makeCopy();
            target.setContents(joinLinesIntoString(lines));
            if ((mask & LBTextArea::ReduceFont)
                && !(mask & (LBTextArea::ResizeTopSide | LBTextArea::ResizeBottomSide)))
                shrinkToHeight(target);
            if (mask & (LBTextArea::ResizeTopSide | LBTextArea::ResizeBottomSide)) {
                const double height = target.textHeight();
                QRectF bounds = target.bounds();
                if (height > bounds.height()) {
                    const bool up = mask & LBTextArea::ResizeTopSide;
                    const bool down = mask & LBTextArea::ResizeBottomSide;
                    if (up && down)
                        bounds.setY(bounds.center().y() - height / 2.0);
                    else if (up)
                        bounds.setY(bounds.bottom() - height);
                    bounds.setHeight(height);
                    target.setBoundsNoOtherChanges(bounds);
                }
            }
        } else if (edited) {
            makeCopy().setContents(*edited);
        }
        if (state.building) {
            text->shrinkMultipliers().insert(_contactIndex, state.shrinkOut);
            text->expandMultipliers().insert(_contactIndex, state.expandOut);
        }
    }
    if (text->labelIndexForNewTextEditor() == _counter && !_buildMultiplierArrays) {
        // Preview's editor opens on the label's merged text.
        std::optional<AttributedString> merged;
        if (!edited)
            merged = copy ? static_cast<LBTextArea&>(*copy).contents()->attributedString() : source;
        text->setEditedText(merged, _contactUID);
    }
    return copy ? copy : g;
}

// ==== The light path of a label's text ===================================================

// What a text box's merged text is made from on the light path: the text's characters, the
// one set of attributes they all carry without their field marks, and its fields in text
// order. Made once for a sheet; each label then builds only its string.
struct LBRenderingView::PlainMerge
{
    struct Field
    {
        qsizetype location = 0;
        qsizetype length = 0;
        QVariantMap field;
        QVariantMap fieldAttribute;
        qint64 kind = 0;
        qint64 importColumn = 0; // (kind 11)
        CaseMode caseMode = CaseMode::Keep;
        bool isMyField = false;
    };
    QString string;
    QVariantMap attributes;
    QList<Field> fields;
    bool autoDelete = false;
    // The imported records, read once for the sheet.
    QStringList importRecords;
    qint64 importColumns = 0;
    // The copy of the box that is drawn, given each label's text; none when the box takes
    // the general path. The box's bounds, where the copy goes in the cell.
    LBGraphicPtr copy;
    QRectF bounds;
};

void LBRenderingView::setReusesTextCopies(bool reuse)
{
    _reusesTextCopies = reuse;
    _plainMerges.clear();
}

namespace {

// Whether every character carries the same attributes once the field marks are taken off.
bool hasOneSetOfAttributes(const AttributedString& text)
{
    std::optional<QVariantMap> first;
    bool one = true;
    text.enumerateAttributesInRange(Range(0, text.length()),
                                    [&](const QVariantMap& attributes, const Range&, bool& stop) {
                                        QVariantMap stripped = attributes;
                                        stripped.remove(LBQFieldAttributeName);
                                        if (!first)
                                            first = stripped;
                                        else if (stripped != *first) {
                                            one = false;
                                            stop = true;
                                        }
                                    });
    return one;
}

} // namespace

const LBRenderingView::PlainMerge* LBRenderingView::plainMergeFor(const LBGraphicPtr& g)
{
    // A POSTNET barcode changes the box before each label, and the fitting of lines
    // wants the general path.
    if (!_reusesTextCopies || !_drawingSheet || _postnetBarcode || _buildMultiplierArrays
        || !g->isTextBox())
        return nullptr;
    auto* text = dynamic_cast<LBTextArea*>(g.get());
    if (!text || text->textResizeMask() != 0
        || (text->editedTextArray() && !text->editedTextArray()->isEmpty()) || !mergeServices())
        return nullptr;

    std::shared_ptr<PlainMerge>& plan = _plainMerges[g.get()];
    if (plan)
        return plan->copy ? plan.get() : nullptr;
    plan = std::make_shared<PlainMerge>();
    const AttributedString source =
        text->contents() ? text->contents()->attributedString() : AttributedString();
    bool usable = !source.isEmpty() && !text->isCurved() && text->textGradientType() == 0
                  && !text->imageOfType(LBGraphic::FillImageType) && hasOneSetOfAttributes(source);
    if (usable) {
        plan->string = source.string();
        source.enumerateAttribute(
            LBQFieldAttributeName, Range(0, source.length()),
            [&](const QVariant& value, const Range& range, bool& stop) {
                if (value.isNull())
                    return;
                const QString name = plan->string.mid(range.location, range.length);
                const QString lookup =
                    name.compare(QLatin1String("Address(1-line)"), Qt::CaseInsensitive) == 0
                        ? QStringLiteral("Address (1-line)")
                        : name;
                PlainMerge::Field field;
                const std::optional<QVariantMap> found =
                    LBMergeServices::fieldForFieldName(lookup, &field.isMyField);
                field.kind = found ? found->value(QStringLiteral("propertyType")).toLongLong() : -1;
                // Identities bring attributes of their own and pictures are no text; a
                // name that is no field stays as it is, marked.
                if (!found || field.kind == 8 || field.kind == 9) {
                    usable = false;
                    stop = true;
                    return;
                }
                field.location = range.location;
                field.length = range.length;
                field.field = *found;
                field.fieldAttribute = value.toMap();
                field.caseMode = caseModeOfName(name);
                field.importColumn = LBMergeServices::importColumnForField(*found);
                plan->fields.append(field);
            });
    }
    if (!usable || plan->fields.isEmpty())
        return nullptr;
    plan->attributes = attributesWithoutField(source, plan->fields.constFirst().location);
    plan->autoDelete = platform::UserDefaults::standardUserDefaults().boolForKey(
        QStringLiteral("Auto Delete Blank Lines"));
    if (const LBDocument* doc = document())
        plan->importRecords = doc->importTextArrayAndColumnCount(&plan->importColumns);
    plan->bounds = g->bounds();
    plan->copy = g->copy();
    return plan.get();
}

LBGraphicPtr LBRenderingView::plainTextObjectForDrawing(const LBGraphicPtr& g)
{
    // A record-less cell and the label the preview's editor opens on take the general path.
    if (_contactIndex < 0)
        return nullptr;
    const PlainMerge* plan = plainMergeFor(g);
    if (!plan || static_cast<const LBTextArea&>(*g).labelIndexForNewTextEditor() == _counter)
        return nullptr;
    const std::optional<QString> merged = plainMergedString(*plan);
    if (!merged)
        return nullptr;
    auto& copy = static_cast<LBTextArea&>(*plan->copy);
    copy.setContentsForDrawing(AttributedString(*merged, plan->attributes));
    copy.setBoundsNoOtherChanges(plan->bounds.translated(_cellOffset));
    return plan->copy;
}

bool LBRenderingView::drawsAllAsPlainText(const LBDocument::Page& page)
{
    bool any = false;
    for (const LBDocument::Layer& layer : page) {
        for (const LBGraphicPtr& g : layer) {
            // A box's fill, stroke and shadow are painted on whole points of the cell: a
            // box that has one stays where the painter is moved.
            if (g->fillType() != 0 || g->drawsStroke() || g->shadowType() != 0 || g->isPlaceholder()
                || !plainMergeFor(g))
                return false;
            any = true;
        }
    }
    return any;
}

// The steps of processTextFields() for a text whose fields all give text: the values go in
// one after the other, and an empty one goes with its blank line when asked (the text
// before it is what is merged so far, the text after it the plan's). Nothing when a value
// marks a bracket group or a repeat block, or a removal would reach into a field.
std::optional<QString> LBRenderingView::plainMergedString(const PlainMerge& plan)
{
    LBMergeServices* services = mergeServices();
    if (!services)
        return std::nullopt;
    const QString& s = plan.string;
    QString out;
    out.reserve(s.size() + 64);
    qsizetype from = 0; // the plan's next character to take
    for (const PlainMerge::Field& f : plan.fields) {
        if (f.location < from)
            return std::nullopt;
        out.append(QStringView(s).mid(from, f.location - from));
        QString value;
        if (f.kind == 11) {
            // As stringForImportField() reads it.
            const qint64 index = _contactIndex * plan.importColumns + f.importColumn;
            if (plan.importColumns > 0 && f.importColumn < plan.importColumns
                && index < plan.importRecords.size())
                value = plan.importRecords.at(index);
        } else {
            value = stringForField(*services, f.field, f.fieldAttribute, f.kind,
                                   f.isMyField ? -1 : _contactIndex);
        }
        if (isMarker(value))
            return std::nullopt;
        from = f.location + f.length;
        if (!value.isEmpty()) {
            out.append(applyCase(value, f.caseMode));
            continue;
        }
        if (!plan.autoDelete)
            continue;
        if (from < s.size()) {
            const QChar next = s.at(from);
            if (next == QLatin1Char(' ')) {
                ++from;
                continue;
            }
            if (!isLineBreak(next))
                continue;
            const qsizetype breakLength = (next == QLatin1Char('\r') && from + 1 < s.size()
                                           && s.at(from + 1) == QLatin1Char('\n'))
                                              ? 2
                                              : 1;
            if (out.isEmpty()) {
                from += breakLength;
                continue;
            }
            for (qsizetype q = out.size() - 1; q >= 0; --q) {
                if (isLineBreak(out.at(q))) {
                    out.truncate(q + 1);
                    from += breakLength;
                    break;
                }
                if (!isBlank(out.at(q)))
                    break;
            }
            continue;
        }
        for (qsizetype q = out.size() - 1; q >= 0; --q) {
            if (isLineBreak(out.at(q))) {
                out.truncate(q);
                break;
            }
            if (!isBlank(out.at(q)))
                break;
        }
    }
    out.append(QStringView(s).mid(from));
    return out;
}
