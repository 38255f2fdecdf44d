#pragma once

// A folder of the outline of design-template folders in the layout chooser. The tree is
// read lazily from the file system, one level at a time, the first time a node's
// children are asked for; a node never reads its folder again. Only real sub-folders
// become nodes: names beginning with "." and packages (folders with a document or kit
// extension, such as the templates themselves) are left out.
//
// The root owns its children, each child its own; a child's parent is not owned.

#include <QList>
#include <QString>

#include <memory>
#include <vector>

class LBLayoutItem
{
public:
    // A root keeps the path it was made with; a node with a parent keeps the last path
    // component of it (its folder's name).
    LBLayoutItem(const QString& path, LBLayoutItem* parent);
    ~LBLayoutItem();
    LBLayoutItem(const LBLayoutItem&) = delete;
    LBLayoutItem& operator=(const LBLayoutItem&) = delete;

    QString relativePath() const { return _relativePath; }
    LBLayoutItem* parent() const { return _parent; }
    // The root's path, or the parent's full path with this folder's name appended.
    QString fullPath() const;
    // The sub-folder nodes in name order, read on the first call; none for a leaf.
    QList<LBLayoutItem*> children();
    // -1 for a leaf (no qualifying sub-folder, or not a folder at all: missing, a file, a
    // package); otherwise the number of sub-folder nodes, at least 1.
    qint64 numberOfChildren();
    // The i-th sub-folder node, 0 <= i < numberOfChildren().
    LBLayoutItem* childAtIndex(qint64 index);

    // Whether the folder at the path is a package: its extension is a document's
    // ("quarnlb", "quarnev", "quarnpg", "quarnl") or a kit's ("icorbeil").
    static bool isPackage(const QString& path);

private:
    enum class State { NotRead, Read, Leaf };
    void readChildren();

    QString _relativePath;
    LBLayoutItem* _parent = nullptr;
    std::vector<std::unique_ptr<LBLayoutItem>> _children;
    State _state = State::NotRead;
};
