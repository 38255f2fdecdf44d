#pragma once

// A mutable attributed string with an identity: the text of a text box. Every change is
// reported, after it is made, to the layout managers attached to the storage and then to
// its observers ("did process editing"), with the edited range and the change in length.
// Changes between beginEditing() and the matching endEditing() are reported once, as one
// edit covering all of them.

#include "platform/text/AttributedString.h"

#include <QList>

#include <functional>
#include <memory>

namespace platform {

class LayoutManager;
struct TextLayoutCache;

class TextStorage
{
public:
    enum EditedMask { EditedAttributes = 1, EditedCharacters = 2 };

    struct Edit
    {
        int mask = 0; // EditedMask bits
        // The changed characters, in the text as it is after the edit.
        Range editedRange;
        // New length minus old length.
        qsizetype changeInLength = 0;
        bool operator==(const Edit&) const = default;
    };

    using Observer = std::function<void(TextStorage& storage, const Edit& edit)>;

    // Keeps an observer registered while it lives; may outlive the storage.
    class Observation
    {
    public:
        Observation() = default;
        Observation(Observation&& other) noexcept;
        Observation& operator=(Observation&& other) noexcept;
        Observation(const Observation&) = delete;
        Observation& operator=(const Observation&) = delete;
        ~Observation();
        void reset();

    private:
        friend class TextStorage;
        struct Observers;
        Observation(std::weak_ptr<Observers> observers, quint64 id);
        std::weak_ptr<Observers> _observers;
        quint64 _id = 0;
    };

    TextStorage();
    explicit TextStorage(const AttributedString& string);
    explicit TextStorage(const QString& string, const QVariantMap& attributes = {});
    TextStorage(const TextStorage&) = delete;
    TextStorage& operator=(const TextStorage&) = delete;
    ~TextStorage();

    // The current text as a value (a cheap copy; it does not follow later edits).
    const AttributedString& attributedString() const { return _string; }
    operator const AttributedString&() const { return _string; }
    QString string() const { return _string.string(); }
    qsizetype length() const { return _string.length(); }

    // --- Changing (as AttributedString's operations, each one reported) ---
    void replaceCharactersInRange(const Range& range, const QString& string);
    void replaceCharactersInRange(const Range& range, const AttributedString& string);
    void setAttributedString(const AttributedString& string);
    void setAttributes(const QVariantMap& attributes, const Range& range);
    void addAttribute(const QString& name, const QVariant& value, const Range& range);
    void addAttributes(const QVariantMap& attributes, const Range& range);
    void removeAttribute(const QString& name, const Range& range);

    // Nestable; the outermost endEditing() reports what changed in between.
    void beginEditing();
    void endEditing();

    // The observer is called after each reported edit; it may change the storage again
    // (that change is reported in turn).
    [[nodiscard]] Observation observeEditing(Observer observer);

    // Expires when the storage is destroyed, so work kept for later (an undo step) can
    // tell whether the storage it refers to still exists.
    std::weak_ptr<const void> lifetime() const { return _observers; }

    // --- Layout managers: they lay out this text until removed ---
    // A layout manager belongs to one storage at a time: adding it here takes it away
    // from the storage it had. Removing one that is not attached does nothing.
    void addLayoutManager(LayoutManager* layoutManager);
    void removeLayoutManager(LayoutManager* layoutManager);
    QList<LayoutManager*> layoutManagers() const { return _layoutManagers; }

private:
    friend class LayoutManager;
    // Records a change of range (in the text before this change) by delta characters.
    void edited(int mask, const Range& range, qsizetype delta);
    void processEditing();

    AttributedString _string;
    // The text laid out by layout managers, kept until it next changes.
    std::shared_ptr<TextLayoutCache> _layouts;
    QList<LayoutManager*> _layoutManagers;
    std::shared_ptr<Observation::Observers> _observers;
    int _editingDepth = 0;
    Edit _pending;
};

} // namespace platform
