#include "layouts/LBLayoutItem.h"

#include "document/LBDocument.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

LBLayoutItem::LBLayoutItem(const QString& path, LBLayoutItem* parent)
    : _relativePath(parent ? QFileInfo(path).fileName() : path), _parent(parent)
{}

LBLayoutItem::~LBLayoutItem() = default;

QString LBLayoutItem::fullPath() const
{
    if (!_parent)
        return _relativePath;
    const QString parentPath = _parent->fullPath();
    return parentPath.endsWith(QLatin1Char('/')) ? parentPath + _relativePath
                                                 : parentPath + QLatin1Char('/') + _relativePath;
}

bool LBLayoutItem::isPackage(const QString& path)
{
    static const QStringList extensions = {
        LBDocument::extensionForDocumentType(LBDocument::LabelDocumentType),
        LBDocument::extensionForDocumentType(LBDocument::EnvelopeDocumentType),
        LBDocument::extensionForDocumentType(LBDocument::PageDocumentType),
        LBDocument::extensionForDocumentType(LBDocument::OldDocumentType),
        QStringLiteral("icorbeil")};
    const QFileInfo info(path);
    return info.isDir() && extensions.contains(info.suffix());
}

void LBLayoutItem::readChildren()
{
    if (_state != State::NotRead)
        return;
    const QString path = fullPath();
    const QFileInfo info(path);
    if (info.isDir() && !isPackage(path)) {
        const QDir folder(path);
        const QStringList names =
            folder.entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
        for (const QString& name : names) {
            if (name.startsWith(QLatin1Char('.')) || isPackage(folder.filePath(name)))
                continue;
            _children.push_back(std::make_unique<LBLayoutItem>(name, this));
        }
    }
    _state = _children.empty() ? State::Leaf : State::Read;
}

QList<LBLayoutItem*> LBLayoutItem::children()
{
    readChildren();
    QList<LBLayoutItem*> nodes;
    nodes.reserve(qsizetype(_children.size()));
    for (const std::unique_ptr<LBLayoutItem>& child : _children)
        nodes.append(child.get());
    return nodes;
}

qint64 LBLayoutItem::numberOfChildren()
{
    readChildren();
    return _state == State::Leaf ? -1 : qint64(_children.size());
}

LBLayoutItem* LBLayoutItem::childAtIndex(qint64 index)
{
    readChildren();
    Q_ASSERT(index >= 0 && index < qint64(_children.size()));
    return _children.at(std::size_t(index)).get();
}
