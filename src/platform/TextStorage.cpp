#include "platform/TextStorage.h"

#include "platform/LayoutManager.h"

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
    : m_observers(std::move(observers)), m_id(id)
{
}

TextStorage::Observation::Observation(Observation&& other) noexcept
    : m_observers(std::move(other.m_observers)), m_id(std::exchange(other.m_id, 0))
{
}

TextStorage::Observation& TextStorage::Observation::operator=(Observation&& other) noexcept
{
    if (this != &other) {
        reset();
        m_observers = std::move(other.m_observers);
        m_id = std::exchange(other.m_id, 0);
    }
    return *this;
}

TextStorage::Observation::~Observation()
{
    reset();
}

void TextStorage::Observation::reset()
{
    if (const auto observers = m_observers.lock())
        observers->remove(m_id);
    m_observers.reset();
    m_id = 0;
}

TextStorage::TextStorage() : m_observers(std::make_shared<Observation::Observers>()) {}

TextStorage::TextStorage(const AttributedString& string) : TextStorage()
{
    m_string = string;
}

TextStorage::TextStorage(const QString& string, const QVariantMap& attributes)
    : TextStorage(AttributedString(string, attributes))
{
}

TextStorage::~TextStorage()
{
    const QList<LayoutManager*> managers = m_layoutManagers;
    for (LayoutManager* manager : managers)
        removeLayoutManager(manager);
}

void TextStorage::replaceCharactersInRange(const Range& range, const QString& string)
{
    const Range limit = range.clampedTo(length());
    if (limit.isEmpty() && string.isEmpty())
        return;
    m_string.replaceCharactersInRange(limit, string);
    edited(EditedCharacters | EditedAttributes, limit, string.size() - limit.length);
}

void TextStorage::replaceCharactersInRange(const Range& range, const AttributedString& string)
{
    const Range limit = range.clampedTo(length());
    if (limit.isEmpty() && string.isEmpty())
        return;
    const qsizetype delta = string.length() - limit.length;
    m_string.replaceCharactersInRange(limit, string);
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
    m_string.setAttributes(attributes, limit);
    edited(EditedAttributes, limit, 0);
}

void TextStorage::addAttribute(const QString& name, const QVariant& value, const Range& range)
{
    const Range limit = range.clampedTo(length());
    if (limit.isEmpty())
        return;
    m_string.addAttribute(name, value, limit);
    edited(EditedAttributes, limit, 0);
}

void TextStorage::addAttributes(const QVariantMap& attributes, const Range& range)
{
    const Range limit = range.clampedTo(length());
    if (limit.isEmpty())
        return;
    m_string.addAttributes(attributes, limit);
    edited(EditedAttributes, limit, 0);
}

void TextStorage::removeAttribute(const QString& name, const Range& range)
{
    const Range limit = range.clampedTo(length());
    if (limit.isEmpty())
        return;
    m_string.removeAttribute(name, limit);
    edited(EditedAttributes, limit, 0);
}

void TextStorage::beginEditing()
{
    ++m_editingDepth;
}

void TextStorage::endEditing()
{
    if (m_editingDepth == 0)
        return;
    if (--m_editingDepth == 0 && m_pending.mask != 0)
        processEditing();
}

TextStorage::Observation TextStorage::observeEditing(Observer observer)
{
    const quint64 id = m_observers->nextId++;
    m_observers->list.append({id, std::make_shared<Observer>(std::move(observer))});
    return Observation(m_observers, id);
}

void TextStorage::addLayoutManager(LayoutManager* layoutManager)
{
    if (!layoutManager || layoutManager->m_textStorage == this)
        return;
    if (layoutManager->m_textStorage)
        layoutManager->m_textStorage->removeLayoutManager(layoutManager);
    m_layoutManagers.append(layoutManager);
    layoutManager->setTextStorage(this);
}

void TextStorage::removeLayoutManager(LayoutManager* layoutManager)
{
    if (!layoutManager || !m_layoutManagers.removeOne(layoutManager))
        return;
    layoutManager->setTextStorage(nullptr);
}

void TextStorage::edited(int mask, const Range& range, qsizetype delta)
{
    // Grow the pending range to cover this change; the characters after it move by delta.
    if (m_pending.mask == 0)
        m_pending.editedRange = range;
    else
        m_pending.editedRange = Range::unionRange(m_pending.editedRange, range);
    m_pending.mask |= mask;
    m_pending.editedRange.length += delta;
    m_pending.changeInLength += delta;
    if (m_editingDepth == 0)
        processEditing();
}

void TextStorage::processEditing()
{
    const Edit edit = std::exchange(m_pending, Edit{});
    // Layout first, so observers that measure see the new text laid out.
    const QList<LayoutManager*> managers = m_layoutManagers;
    for (LayoutManager* manager : managers)
        manager->textStorageEdited(edit.mask, edit.editedRange, edit.changeInLength);

    // A copy, so observers may come and go while being called; one removed meanwhile
    // is not called any more.
    const auto observers = m_observers;
    const auto entries = observers->list;
    for (const auto& [id, function] : entries) {
        const bool stillThere = std::any_of(observers->list.cbegin(), observers->list.cend(),
                                            [id = id](const auto& entry) { return entry.first == id; });
        if (stillThere)
            (*function)(*this, edit);
    }
}

} // namespace platform
