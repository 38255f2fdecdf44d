#include "platform/text/TextStorage.h"

#include "platform/text/LayoutManager.h"

#include <utility>

namespace platform {

struct TextStorage::Observation::Observers
{
    quint64 nextId = 1;
    QList<std::pair<quint64, std::shared_ptr<Observer>>> list;

    void remove(quint64 id)
    {
        list.removeIf([id](const auto& entry) { return entry.first == id; });
    }
};

TextStorage::Observation::Observation(std::weak_ptr<Observers> observers, quint64 id)
    : _observers(std::move(observers)), _id(id)
{}

TextStorage::Observation::Observation(Observation&& other) noexcept
    : _observers(std::move(other._observers)), _id(std::exchange(other._id, 0))
{}

TextStorage::Observation& TextStorage::Observation::operator=(Observation&& other) noexcept
{
    if (this != &other) {
        reset();
        _observers = std::move(other._observers);
        _id = std::exchange(other._id, 0);
    }
    return *this;
}

TextStorage::Observation::~Observation()
{
    reset();
}

void TextStorage::Observation::reset()
{
    if (const auto observers = _observers.lock())
        observers->remove(_id);
    _observers.reset();
    _id = 0;
}

TextStorage::TextStorage() : _observers(std::make_shared<Observation::Observers>())
{}

TextStorage::TextStorage(const AttributedString& string) : TextStorage()
{
    _string = string;
}

TextStorage::TextStorage(const QString& string, const QVariantMap& attributes)
    : TextStorage(AttributedString(string, attributes))
{}

TextStorage::~TextStorage()
{
    const QList<LayoutManager*> managers = _layoutManagers;
    for (LayoutManager* manager : managers)
        removeLayoutManager(manager);
}

void TextStorage::replaceCharactersInRange(const Range& range, const QString& string)
{
    const Range limit = range.clampedTo(length());
    if (limit.isEmpty() && string.isEmpty())
        return;
    _string.replaceCharactersInRange(limit, string);
    edited(EditedCharacters | EditedAttributes, limit, string.size() - limit.length);
}

void TextStorage::replaceCharactersInRange(const Range& range, const AttributedString& string)
{
    const Range limit = range.clampedTo(length());
    if (limit.isEmpty() && string.isEmpty())
        return;
    const qsizetype delta = string.length() - limit.length;
    _string.replaceCharactersInRange(limit, string);
    edited(EditedCharacters | EditedAttributes, limit, delta);
}

void TextStorage::setAttributedString(const AttributedString& string)
{
    replaceCharactersInRange(Range(0, length()), string);
}

void TextStorage::setAttributes(const QVariantMap& attributes, const Range& range)
{
    const Range limit = range.clampedTo(length());
    if (limit.isEmpty())
        return;
    _string.setAttributes(attributes, limit);
    edited(EditedAttributes, limit, 0);
}

void TextStorage::addAttribute(const QString& name, const QVariant& value, const Range& range)
{
    const Range limit = range.clampedTo(length());
    if (limit.isEmpty())
        return;
    _string.addAttribute(name, value, limit);
    edited(EditedAttributes, limit, 0);
}

void TextStorage::addAttributes(const QVariantMap& attributes, const Range& range)
{
    const Range limit = range.clampedTo(length());
    if (limit.isEmpty())
        return;
    _string.addAttributes(attributes, limit);
    edited(EditedAttributes, limit, 0);
}

void TextStorage::removeAttribute(const QString& name, const Range& range)
{
    const Range limit = range.clampedTo(length());
    if (limit.isEmpty())
        return;
    _string.removeAttribute(name, limit);
    edited(EditedAttributes, limit, 0);
}

void TextStorage::beginEditing()
{
    ++_editingDepth;
}

void TextStorage::endEditing()
{
    if (_editingDepth == 0)
        return;
    if (--_editingDepth == 0 && _pending.mask != 0)
        processEditing();
}

TextStorage::Observation TextStorage::observeEditing(Observer observer)
{
    const quint64 id = _observers->nextId++;
    _observers->list.append({id, std::make_shared<Observer>(std::move(observer))});
    return Observation(_observers, id);
}

void TextStorage::addLayoutManager(LayoutManager* layoutManager)
{
    if (!layoutManager || layoutManager->_textStorage == this)
        return;
    if (layoutManager->_textStorage)
        layoutManager->_textStorage->removeLayoutManager(layoutManager);
    _layoutManagers.append(layoutManager);
    layoutManager->setTextStorage(this);
}

void TextStorage::removeLayoutManager(LayoutManager* layoutManager)
{
    if (!layoutManager || !_layoutManagers.removeOne(layoutManager))
        return;
    layoutManager->setTextStorage(nullptr);
}

void TextStorage::edited(int mask, const Range& range, qsizetype delta)
{
    // Layouts of the text as it was are of no use any more, even before the edit is
    // reported.
    _layouts.reset();
    // Grow the pending range to cover this change; the characters after it move by delta.
    if (_pending.mask == 0)
        _pending.editedRange = range;
    else
        _pending.editedRange = Range::unionRange(_pending.editedRange, range);
    _pending.mask |= mask;
    _pending.editedRange.length += delta;
    _pending.changeInLength += delta;
    if (_editingDepth == 0)
        processEditing();
}

void TextStorage::processEditing()
{
    const Edit edit = std::exchange(_pending, Edit{});
    // Layout first, so observers that measure see the new text laid out.
    const QList<LayoutManager*> managers = _layoutManagers;
    for (LayoutManager* manager : managers)
        manager->textStorageEdited(edit.mask, edit.editedRange, edit.changeInLength);

    // A copy, so observers may come and go while being called; one removed meanwhile
    // is not called any more.
    const auto observers = _observers;
    const auto entries = observers->list;
    for (const auto& [id, function] : entries) {
        const bool stillThere =
            std::any_of(observers->list.cbegin(), observers->list.cend(),
                        [id = id](const auto& entry) { return entry.first == id; });
        if (stillThere)
            (*function)(*this, edit);
    }
}

} // namespace platform
