#pragma once

// A property list read from its XML form into one array of nodes in document order, for
// readers that take the values apart at once (archives): no QVariant tree is made, so a
// container costs no allocation of its own. The rules and errors are those of
// PropertyList::fromXml(), which is built on it.
//
// A Value is a view of one node (or of none: a key that is missing); it stays valid as long
// as its tree.

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <optional>
#include <vector>

namespace platform {

class PropertyListTree
{
    struct Node;

public:
    static std::optional<PropertyListTree> fromXml(const QByteArray& xml, QString* error = nullptr);
    // The same through expat alone, without the direct reader of plain documents that
    // fromXml() tries first (the two must agree: the tests and the fuzz target compare).
    static std::optional<PropertyListTree> fromXmlThroughExpat(const QByteArray& xml,
                                                               QString* error = nullptr);

    class Value
    {
    public:
        Value() = default;

        bool isValid() const { return _node; }
        // The type the value has in a QVariant tree: QMetaType::QVariantMap for a
        // dictionary, QVariantList for an array, QString, QByteArray, LongLong, Double,
        // Bool or QDateTime for the others; UnknownType for none.
        int typeId() const;
        // The value of a string, data, number, boolean or date; null for the others.
        QVariant scalar() const;
        // The text of a string; null for the others.
        const QString& string() const;

        // A dictionary's entries or an array's elements, in document order.
        qsizetype count() const { return _node ? _node->count : 0; }
        class Iterator;
        Iterator begin() const;
        Iterator end() const;
        // The key of a dictionary's entry.
        const QString& key() const;
        // The value of key in a dictionary (the last one when the document repeats the key,
        // as a QVariantMap keeps it); none when there is none.
        Value value(QStringView key) const;
        bool contains(QStringView key) const { return value(key).isValid(); }

        // The value as PropertyList::fromXml() gives it.
        QVariant toVariant() const;

    private:
        friend class PropertyListTree;
        Value(const PropertyListTree* tree, const Node* node) : _tree(tree), _node(node) {}
        const PropertyListTree* _tree = nullptr;
        const Node* _node = nullptr;
    };

    Value root() const { return Value(this, _nodes.data()); }

private:
    friend class XmlPropertyListBuilder;

    // 24 bytes a value: texts, data and dates are kept beside the nodes.
    struct Node
    {
        enum Kind : quint8 { Dictionary, Array, String, Data, Integer, Real, Boolean, Date };
        Kind kind = Dictionary;
        qint32 count = 0; // entries or elements
        qint32 size = 1;  // nodes of the value, itself included
        qint32 key = -1;  // of an entry in a dictionary: its index in _strings
        union
        {
            qint64 integer;
            double real;
            bool boolean;
            qint32 index; // of a string in _strings, of data or a date in _others
        };
    };

    std::vector<Node> _nodes;
    std::vector<QString> _strings;
    std::vector<QVariant> _others;
};

class PropertyListTree::Value::Iterator
{
public:
    Value operator*() const { return Value(_tree, _node); }
    Iterator& operator++()
    {
        _node += _node->size;
        return *this;
    }
    bool operator==(const Iterator& other) const { return _node == other._node; }

private:
    friend class Value;
    Iterator(const PropertyListTree* tree, const Node* node) : _tree(tree), _node(node) {}
    const PropertyListTree* _tree;
    const Node* _node;
};

} // namespace platform
