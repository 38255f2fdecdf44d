#include "platform/text/AttributedString.h"

#include <QList>
#include <QSharedData>

#include <algorithm>

namespace platform {

namespace {

// One run: the attributes of the characters from start up to the next run's start.
struct Run
{
    qsizetype start = 0;
    QVariantMap attributes;
    bool operator==(const Run&) const = default;
};

} // namespace

// The runs cover the text exactly: none for an empty text, otherwise the first starts at
// 0, each is non-empty, and neighbours differ in their attributes.
struct AttributedString::Data : QSharedData
{
    QString text;
    QList<Run> runs;

    qsizetype runEnd(qsizetype k) const
    {
        return k + 1 < runs.size() ? runs.at(k + 1).start : text.size();
    }

    // The run holding index (which must lie in the text).
    qsizetype runAt(qsizetype index) const
    {
        const auto it = std::upper_bound(runs.cbegin(), runs.cend(), index,
                                         [](qsizetype i, const Run& run) { return i < run.start; });
        return (it - runs.cbegin()) - 1;
    }

    // Makes a run start at position (0 < position < length) and returns its index; a
    // position at the end returns the run count.
    qsizetype splitAt(qsizetype position)
    {
        if (position >= text.size())
            return runs.size();
        const qsizetype k = runAt(position);
        if (runs.at(k).start == position)
            return k;
        runs.insert(k + 1, Run{position, runs.at(k).attributes});
        return k + 1;
    }

    // Restores the invariants after an edit: drops empty runs, joins equal neighbours.
    void normalize()
    {
        QList<Run> out;
        out.reserve(runs.size());
        for (qsizetype k = 0; k < runs.size(); ++k) {
            if (runEnd(k) <= runs.at(k).start)
                continue;
            if (!out.isEmpty() && out.constLast().attributes == runs.at(k).attributes)
                continue;
            out.append(runs.at(k));
        }
        if (!out.isEmpty())
            out.first().start = 0;
        runs = std::move(out);
    }

    // Joins equal neighbours among runs [from, to), in place; the runs must be non-empty.
    void joinEqualRuns(qsizetype from, qsizetype to)
    {
        if (to - from < 2)
            return;
        qsizetype kept = from + 1;
        for (qsizetype k = from + 1; k < to; ++k) {
            if (runs.at(k).attributes == runs.at(kept - 1).attributes)
                continue;
            if (kept != k)
                runs[kept] = std::move(runs[k]);
            ++kept;
        }
        runs.erase(runs.begin() + kept, runs.begin() + to);
    }

    // Applies change to the attributes of every character of range. Only the changed runs
    // and their two neighbours can have become equal, so only they are joined: setting
    // the runs of a long text one after another stays linear.
    template <typename Change>
    void changeAttributes(const Range& range, Change change)
    {
        if (range.isEmpty())
            return;
        const qsizetype first = splitAt(range.location);
        const qsizetype last = splitAt(range.end());
        for (qsizetype k = first; k < last; ++k)
            change(runs[k].attributes);
        joinEqualRuns(std::max<qsizetype>(first - 1, 0), std::min(last + 1, runs.size()));
    }
};

AttributedString::AttributedString() : d(new Data)
{}

AttributedString AttributedString::attributedStringWithImage(const std::shared_ptr<Image>& image)
{
    return AttributedString(QString(AttachmentCharacter),
                            {{AttachmentAttributeName, QVariant::fromValue(image)}});
}

AttributedString::AttributedString(const QString& string, const QVariantMap& attributes)
    : d(new Data)
{
    d->text = string;
    if (!string.isEmpty())
        d->runs.append(Run{0, attributes});
}

AttributedString::AttributedString(const AttributedString&) = default;
AttributedString::AttributedString(AttributedString&&) noexcept = default;
AttributedString& AttributedString::operator=(const AttributedString&) = default;
AttributedString& AttributedString::operator=(AttributedString&&) noexcept = default;
AttributedString::~AttributedString() = default;

bool AttributedString::operator==(const AttributedString& other) const
{
    return d == other.d || (d->text == other.d->text && d->runs == other.d->runs);
}

QString AttributedString::string() const
{
    return d->text;
}

qsizetype AttributedString::length() const
{
    return d->text.size();
}

QVariantMap AttributedString::attributesAtIndex(qsizetype index, Range* effectiveRange) const
{
    return attributesAtIndex(index, effectiveRange, Range(0, length()));
}

QVariantMap AttributedString::attributesAtIndex(qsizetype index, Range* longestEffectiveRange,
                                                const Range& inRange) const
{
    if (index < 0 || index >= length()) {
        if (longestEffectiveRange)
            *longestEffectiveRange = Range(std::clamp<qsizetype>(index, 0, length()), 0);
        return {};
    }
    const qsizetype k = d->runAt(index);
    if (longestEffectiveRange) {
        const Range run(d->runs.at(k).start, d->runEnd(k) - d->runs.at(k).start);
        *longestEffectiveRange = Range::intersection(run, inRange.clampedTo(length()));
    }
    return d->runs.at(k).attributes;
}

QVariant AttributedString::attribute(const QString& name, qsizetype index,
                                     Range* effectiveRange) const
{
    return attribute(name, index, effectiveRange, Range(0, length()));
}

QVariant AttributedString::attribute(const QString& name, qsizetype index,
                                     Range* longestEffectiveRange, const Range& inRange) const
{
    if (index < 0 || index >= length()) {
        if (longestEffectiveRange)
            *longestEffectiveRange = Range(std::clamp<qsizetype>(index, 0, length()), 0);
        return {};
    }
    const qsizetype k = d->runAt(index);
    const QVariant value = d->runs.at(k).attributes.value(name);
    if (longestEffectiveRange) {
        const Range limit = inRange.clampedTo(length());
        qsizetype first = k;
        while (first > 0 && d->runs.at(first).start > limit.location
               && d->runs.at(first - 1).attributes.value(name) == value)
            --first;
        qsizetype last = k;
        while (last + 1 < d->runs.size() && d->runEnd(last) < limit.end()
               && d->runs.at(last + 1).attributes.value(name) == value)
            ++last;
        const Range run(d->runs.at(first).start, d->runEnd(last) - d->runs.at(first).start);
        *longestEffectiveRange = Range::intersection(run, limit);
    }
    return value;
}

void AttributedString::enumerateAttributesInRange(const Range& range,
                                                  const AttributesBlock& block) const
{
    const Range limit = range.clampedTo(length());
    if (limit.isEmpty())
        return;
    bool stop = false;
    for (qsizetype k = d->runAt(limit.location); k < d->runs.size() && !stop; ++k) {
        const Range run(d->runs.at(k).start, d->runEnd(k) - d->runs.at(k).start);
        const Range piece = Range::intersection(run, limit);
        if (piece.isEmpty())
            break;
        block(d->runs.at(k).attributes, piece, stop);
    }
}

void AttributedString::enumerateAttribute(const QString& name, const Range& range,
                                          const AttributeBlock& block) const
{
    const Range limit = range.clampedTo(length());
    bool stop = false;
    qsizetype index = limit.location;
    while (index < limit.end() && !stop) {
        Range piece;
        const QVariant value = attribute(name, index, &piece, limit);
        block(value, piece, stop);
        index = piece.end();
    }
}

AttributedString AttributedString::attributedSubstringFromRange(const Range& range) const
{
    const Range limit = range.clampedTo(length());
    AttributedString result;
    result.d->text = d->text.mid(limit.location, limit.length);
    enumerateAttributesInRange(
        limit, [&](const QVariantMap& attributes, const Range& piece, bool&) {
            result.d->runs.append(Run{piece.location - limit.location, attributes});
        });
    return result;
}

Range AttributedString::paragraphRange(qsizetype index) const
{
    const QString& text = d->text;
    const qsizetype size = text.size();
    index = std::clamp<qsizetype>(index, 0, size);
    auto isBreak = [](QChar c) {
        return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator;
    };
    // Back to just after the previous terminator; the LF of a CR LF pair ends the same
    // paragraph as its CR.
    qsizetype start = index;
    if (start < size && text.at(start) == u'\n' && start > 0 && text.at(start - 1) == u'\r')
        --start;
    while (start > 0 && !isBreak(text.at(start - 1)))
        --start;
    qsizetype end = start;
    while (end < size && !isBreak(text.at(end)))
        ++end;
    if (end < size) {
        if (text.at(end) == u'\r' && end + 1 < size && text.at(end + 1) == u'\n')
            ++end;
        ++end;
    }
    return Range(start, end - start);
}

void AttributedString::replaceCharactersInRange(const Range& range, const QString& string)
{
    const Range limit = range.clampedTo(length());
    QVariantMap inherited;
    if (!limit.isEmpty())
        inherited = attributesAtIndex(limit.location);
    else if (limit.location > 0)
        inherited = attributesAtIndex(limit.location - 1);
    else if (length() > 0)
        inherited = attributesAtIndex(0);
    replaceCharactersInRange(limit, AttributedString(string, inherited));
}

void AttributedString::replaceCharactersInRange(const Range& range, const AttributedString& string)
{
    const Range limit = range.clampedTo(length());
    if (limit.isEmpty() && string.isEmpty())
        return;
    // Keep the other string's data alive and unchanged even when it is this one.
    const AttributedString inserted = string;
    const qsizetype delta = inserted.length() - limit.length;

    QList<Run> runs;
    for (qsizetype k = 0; k < d->runs.size() && d->runs.at(k).start < limit.location; ++k)
        runs.append(d->runs.at(k));
    for (const Run& run : inserted.d->runs)
        runs.append(Run{run.start + limit.location, run.attributes});
    if (limit.end() < length()) {
        const qsizetype k = d->runAt(limit.end());
        runs.append(Run{limit.end() + delta, d->runs.at(k).attributes});
        for (qsizetype j = k + 1; j < d->runs.size(); ++j)
            runs.append(Run{d->runs.at(j).start + delta, d->runs.at(j).attributes});
    }
    d->text.replace(limit.location, limit.length, inserted.d->text);
    d->runs = std::move(runs);
    d->normalize();
}

void AttributedString::appendAttributedString(const AttributedString& string)
{
    replaceCharactersInRange(Range(length(), 0), string);
}

void AttributedString::setAttributes(const QVariantMap& attributes, const Range& range)
{
    d->changeAttributes(range.clampedTo(length()),
                        [&](QVariantMap& current) { current = attributes; });
}

void AttributedString::addAttribute(const QString& name, const QVariant& value, const Range& range)
{
    if (!value.isValid()) {
        removeAttribute(name, range);
        return;
    }
    d->changeAttributes(range.clampedTo(length()),
                        [&](QVariantMap& current) { current.insert(name, value); });
}

void AttributedString::addAttributes(const QVariantMap& attributes, const Range& range)
{
    d->changeAttributes(range.clampedTo(length()), [&](QVariantMap& current) {
        for (auto it = attributes.cbegin(); it != attributes.cend(); ++it) {
            if (it.value().isValid())
                current.insert(it.key(), it.value());
            else
                current.remove(it.key());
        }
    });
}

void AttributedString::removeAttribute(const QString& name, const Range& range)
{
    d->changeAttributes(range.clampedTo(length()),
                        [&](QVariantMap& current) { current.remove(name); });
}

} // namespace platform
