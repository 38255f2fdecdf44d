#pragma once

// The values of a graphic's property list in their stored forms. The list travels as the
// old-style text form of a property list, which knows only texts, data, arrays and
// dictionaries, so numbers and booleans are stored as text: integers "%ld", reals with two
// ("%.2f") or six ("%f") decimals and read back in single precision, booleans "YES" and
// "NO", rectangles and points in their text forms. Colours, attributed text, archived
// arrays and Bezier paths are platform::Archive data.
//
// The reader takes a value only when it has the kind its form needs: text for numbers,
// booleans and geometry (a number or boolean, as the XML form and lists built in memory
// keep them, counts as its text), data for archives and pictures, a list for arrays. A
// value of another kind counts as missing, and so does archived data that does not decode;
// both are logged, one line naming the class and the key.

#include <QByteArray>
#include <QColor>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

#include <memory>
#include <optional>

namespace platform {
class AttributedString;
class BezierPath;
} // namespace platform

class GraphicDictionaryWriter
{
public:
    explicit GraphicDictionaryWriter(QVariantMap& dictionary) : _dictionary(dictionary) {}

    void setString(const QString& key, const QString& value);
    void setInteger(const QString& key, qint64 value); // "%ld"
    void setReal2(const QString& key, double value);   // "%.2f"
    void setReal6(const QString& key, double value);   // "%f"
    void setBool(const QString& key, bool value);      // "YES" / "NO"
    void setRect(const QString& key, const QRectF& value);
    void setPoint(const QString& key, const QPointF& value);
    // An integer number object (it becomes decimal text in the text form).
    void setNumber(const QString& key, qint64 value);
    void setData(const QString& key, const QByteArray& value);
    // A plain list (of texts, as the readers' array() takes it back).
    void setArray(const QString& key, const QVariantList& value);
    // Archived values; nothing is written (and the loss is logged) for a value the archive
    // cannot hold, or for an invalid colour.
    void setColor(const QString& key, const QColor& value);
    void setAttributedString(const QString& key, const platform::AttributedString& value);
    void setArchivedArray(const QString& key, const QVariantList& value);
    void setBezierPath(const QString& key, const platform::BezierPath& value);

private:
    void setArchive(const QString& key, const QByteArray& data);

    QVariantMap& _dictionary;
};

class GraphicDictionaryReader
{
    class Index;

public:
    // className names the graphic in the log lines.
    GraphicDictionaryReader(const QVariantMap& dictionary, const QString& className);
    ~GraphicDictionaryReader();
    GraphicDictionaryReader(const GraphicDictionaryReader&) = delete;
    GraphicDictionaryReader& operator=(const GraphicDictionaryReader&) = delete;

    // While one lives, the readers of its dictionary on this thread share one index of the
    // keys: loading a graphic makes a reader for its class and for each of its base classes.
    class SharedIndex
    {
    public:
        explicit SharedIndex(const QVariantMap& dictionary);
        ~SharedIndex();
        SharedIndex(const SharedIndex&) = delete;
        SharedIndex& operator=(const SharedIndex&) = delete;

    private:
        friend class GraphicDictionaryReader;
        SharedIndex* _outer;
        QVariantMap _dictionary;
        std::shared_ptr<const Index> _index; // made at the first reader's need
    };

    // Whether the key is there at all, of whatever kind.
    bool contains(const QString& key) const { return find(key); }

    std::optional<QString> string(const QString& key) const;
    std::optional<int> intValue(const QString& key) const;        // leading digits, 32-bit
    std::optional<qint64> integerValue(const QString& key) const; // leading digits, 64-bit
    std::optional<double> floatValue(const QString& key) const;   // single precision
    std::optional<bool> boolValue(const QString& key) const;      // true only for "YES"
    std::optional<QRectF> rect(const QString& key) const;
    std::optional<QPointF> point(const QString& key) const;
    std::optional<QByteArray> data(const QString& key) const;
    std::optional<QVariantList> array(const QString& key) const;
    std::optional<QColor> color(const QString& key) const;
    std::optional<platform::AttributedString> attributedString(const QString& key) const;
    std::optional<QVariantList> archivedArray(const QString& key) const;
    std::optional<platform::BezierPath> bezierPath(const QString& key) const;

    // Logs that the value of key was passed over, and why.
    void logSkipped(const QString& key, const QString& why) const;

    // The text form of a single value (a string, or a number or boolean as text);
    // nullopt for anything else.
    static std::optional<QString> textOf(const QVariant& value);
    // The YES / NO reading of a single value: "YES" or a true boolean.
    static bool isYes(const QVariant& value);

private:
    // The value of key; null when the dictionary has none.
    const QVariant* find(const QString& key) const;

    QVariantMap _dictionary; // shared with the caller's, not copied
    QString _className;
    // A loader looks up every key it knows, some hundred for a graphic: past a few
    // lookups (or at once, under a SharedIndex) the keys are hashed once instead of
    // compared all the way down the map for each.
    SharedIndex* _shared = nullptr;
    mutable int _lookups = 0;
    mutable std::shared_ptr<const Index> _index;
};
