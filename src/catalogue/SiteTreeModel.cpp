#include "catalogue/SiteTreeModel.h"

#include "app/Icons.h"

#include <QCollator>
#include <QDataStream>
#include <QIODevice>
#include <QMimeData>
#include <QSet>

#include <algorithm>
#include <functional>

SiteTreeModel::SiteTreeModel(SiteDatabase& database, QObject* parent)
    : QAbstractItemModel(parent)
    , m_database(database)
{
}

SiteTreeModel::~SiteTreeModel() = default;

void SiteTreeModel::fill()
{
    const QList<SiteRecord> rows = m_database.sites();
    beginResetModel();
    m_root.children.clear();
    m_byId.clear();

    std::vector<std::unique_ptr<Node>> nodes;
    nodes.reserve(size_t(rows.size()));
    m_byId.reserve(rows.size());
    for (const SiteRecord& row : rows) {
        if (m_byId.contains(row.id))
            continue;
        auto node = std::make_unique<Node>();
        node->id = row.id;
        node->parentValue = row.parent;
        node->name = row.name;
        node->displayName = row.name;
        node->url = row.url;
        m_byId.insert(row.id, node.get());
        nodes.push_back(std::move(node));
    }
    // The parent each node will have; loops of parents are cut where they close.
    QHash<int, int> parentOf;
    parentOf.reserve(rows.size());
    for (const auto& node : nodes) {
        bool ok = false;
        const int parent = node->parentValue.toInt(&ok);
        if (!node->parentValue.isNull() && ok && parent != node->id && m_byId.contains(parent))
            parentOf.insert(node->id, parent);
    }
    // Walk up from each node; meeting a node of the same walk again closes a loop, which is
    // cut where the walk entered it: that node goes to the top level.
    QHash<int, int> walkOf; // node -> number of the walk that reached it first
    walkOf.reserve(rows.size());
    int walk = 0;
    for (const auto& node : nodes) {
        ++walk;
        int at = node->id;
        while (!walkOf.contains(at)) {
            walkOf.insert(at, walk);
            const auto parent = parentOf.constFind(at);
            if (parent == parentOf.constEnd())
                break;
            if (walkOf.value(*parent) == walk) {
                parentOf.remove(int(*parent));
                break;
            }
            at = *parent;
        }
    }
    for (auto& node : nodes) {
        Node* parent = parentOf.contains(node->id) ? m_byId.value(parentOf.value(node->id)) : &m_root;
        node->parent = parent;
        parent->children.push_back(std::move(node));
    }
    // Sort every level by text.
    QCollator collator(QLocale(QLocale::Chinese, QLocale::China));
    std::vector<Node*> pending{&m_root};
    while (!pending.empty()) {
        Node* node = pending.back();
        pending.pop_back();
        std::stable_sort(node->children.begin(), node->children.end(),
                         [&](const auto& a, const auto& b) { return collator.compare(a->displayName, b->displayName) < 0; });
        for (const auto& child : node->children)
            pending.push_back(child.get());
    }
    endResetModel();
}

SiteTreeModel::Node* SiteTreeModel::nodeOf(const QModelIndex& index) const
{
    return index.isValid() ? static_cast<Node*>(index.internalPointer()) : nullptr;
}

int SiteTreeModel::rowOf(const Node* node) const
{
    const auto& siblings = node->parent->children;
    for (size_t i = 0; i < siblings.size(); ++i) {
        if (siblings[i].get() == node)
            return int(i);
    }
    return -1;
}

QModelIndex SiteTreeModel::indexOfNode(const Node* node) const
{
    if (!node || node == &m_root)
        return {};
    return createIndex(rowOf(node), 0, const_cast<Node*>(node));
}

QModelIndex SiteTreeModel::indexOf(int id) const
{
    return indexOfNode(m_byId.value(id));
}

int SiteTreeModel::idOf(const QModelIndex& index) const
{
    const Node* node = nodeOf(index);
    return node ? node->id : -1;
}

bool SiteTreeModel::isLeaf(const QModelIndex& index) const
{
    const Node* node = nodeOf(index);
    return node && node->children.empty();
}

bool SiteTreeModel::isFirstNode(const QModelIndex& index) const
{
    const Node* node = nodeOf(index);
    return node && !m_root.children.empty() && m_root.children.front().get() == node;
}

int SiteTreeModel::imageOf(const QModelIndex& index) const
{
    if (isFirstNode(index))
        return HouseImage;
    return isLeaf(index) ? GlobeImage : FolderImage;
}

std::optional<SiteRecord> SiteTreeModel::record(int id) const
{
    const Node* node = m_byId.value(id);
    if (!node)
        return std::nullopt;
    return SiteRecord{node->id, node->parentValue, node->name, node->url};
}

int SiteTreeModel::nextKey() const
{
    if (m_byId.isEmpty())
        return 0;
    const QList<int> keys = m_byId.keys();
    return *std::max_element(keys.begin(), keys.end()) + 1;
}

void SiteTreeModel::sortSiblings(Node* parent)
{
    const QModelIndex parentIndex = indexOfNode(parent);
    emit layoutAboutToBeChanged({QPersistentModelIndex(parentIndex)}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QList<Node*> nodes;
    for (const QModelIndex& index : before)
        nodes << nodeOf(index);
    QCollator collator(QLocale(QLocale::Chinese, QLocale::China));
    std::stable_sort(parent->children.begin(), parent->children.end(),
                     [&](const auto& a, const auto& b) { return collator.compare(a->displayName, b->displayName) < 0; });
    QModelIndexList after;
    for (qsizetype i = 0; i < before.size(); ++i)
        after << (nodes.at(i) ? createIndex(rowOf(nodes.at(i)), before.at(i).column(), nodes.at(i)) : QModelIndex());
    changePersistentIndexList(before, after);
    emit layoutChanged({QPersistentModelIndex(parentIndex)}, QAbstractItemModel::VerticalSortHint);
}

QModelIndex SiteTreeModel::appendNode(Node* parent, std::unique_ptr<Node> node)
{
    const int row = int(parent->children.size());
    beginInsertRows(indexOfNode(parent), row, row);
    node->parent = parent;
    m_byId.insert(node->id, node.get());
    Node* added = node.get();
    parent->children.push_back(std::move(node));
    endInsertRows();
    // The parent may have turned from a leaf into a folder: its picture changes.
    if (parent != &m_root) {
        const QModelIndex parentIndex = indexOfNode(parent);
        emit dataChanged(parentIndex, parentIndex, {Qt::DecorationRole});
    }
    return indexOfNode(added);
}

QModelIndex SiteTreeModel::addSibling(const QModelIndex& selected, const QString& text)
{
    const Node* anchor = nodeOf(selected);
    Node* parent = anchor ? anchor->parent : &m_root;
    auto node = std::make_unique<Node>();
    node->id = nextKey();
    node->parentValue = parent == &m_root ? node->id : parent->id;
    node->name = node->displayName = text;
    m_database.insertSites({{node->id, node->parentValue, text, QString()}});
    return appendNode(parent, std::move(node));
}

QModelIndex SiteTreeModel::addChild(const QModelIndex& parentIndex, const QString& text)
{
    Node* parent = nodeOf(parentIndex);
    if (!parent)
        return {};
    auto node = std::make_unique<Node>();
    node->id = nextKey();
    node->parentValue = parent->id;
    node->name = node->displayName = text;
    m_database.insertSites({{node->id, node->parentValue, text, QString()}});
    return appendNode(parent, std::move(node));
}

std::unique_ptr<SiteTreeModel::Node> SiteTreeModel::takeNode(Node* node)
{
    Node* parent = node->parent;
    const int row = rowOf(node);
    beginRemoveRows(indexOfNode(parent), row, row);
    std::unique_ptr<Node> taken = std::move(parent->children[size_t(row)]);
    parent->children.erase(parent->children.begin() + row);
    endRemoveRows();
    if (parent != &m_root) {
        const QModelIndex parentIndex = indexOfNode(parent);
        emit dataChanged(parentIndex, parentIndex, {Qt::DecorationRole});
    }
    return taken;
}

QModelIndex SiteTreeModel::reparent(Node* node, Node* newParent)
{
    const int newValue = newParent == &m_root ? node->id : newParent->id;
    m_database.setSiteParent(node->id, newValue);
    node->parentValue = newValue;
    Node* oldParent = node->parent;
    const int from = rowOf(node);
    const int to = int(newParent->children.size());
    // The node with its whole subtree goes last among its new siblings.
    beginMoveRows(indexOfNode(oldParent), from, from, indexOfNode(newParent), to);
    std::unique_ptr<Node> moved = std::move(oldParent->children[size_t(from)]);
    oldParent->children.erase(oldParent->children.begin() + from);
    moved->parent = newParent;
    newParent->children.push_back(std::move(moved));
    endMoveRows();
    for (Node* changed : {oldParent, newParent}) {
        if (changed != &m_root) {
            const QModelIndex index = indexOfNode(changed);
            emit dataChanged(index, index, {Qt::DecorationRole});
        }
    }
    return indexOfNode(node);
}

QModelIndex SiteTreeModel::moveUp(const QModelIndex& index)
{
    Node* node = nodeOf(index);
    if (!node || node->parent == &m_root)
        return index;
    return reparent(node, node->parent->parent);
}

bool SiteTreeModel::isDescendant(const Node* node, const Node* ancestor) const
{
    for (const Node* at = node; at; at = at->parent) {
        if (at == ancestor)
            return true;
    }
    return false;
}

bool SiteTreeModel::canDrop(const QModelIndex& dragged, const QModelIndex& target) const
{
    const Node* node = nodeOf(dragged);
    const Node* onto = nodeOf(target);
    return node && onto && !isDescendant(onto, node);
}

QModelIndex SiteTreeModel::moveTo(const QModelIndex& dragged, const QModelIndex& target)
{
    if (!canDrop(dragged, target))
        return {};
    Node* node = nodeOf(dragged);
    Node* onto = nodeOf(target);
    if (node->parent == onto)
        return dragged;
    return reparent(node, onto);
}

QModelIndex SiteTreeModel::copyTo(const QModelIndex& dragged, const QModelIndex& target)
{
    if (!canDrop(dragged, target))
        return {};
    Node* onto = nodeOf(target);
    // New keys in turn, parents before children.
    int key = nextKey();
    QList<SiteRecord> rows;
    std::function<std::unique_ptr<Node>(const Node*, int)> copy = [&](const Node* source, int parentKey) {
        auto node = std::make_unique<Node>();
        node->id = key++;
        node->parentValue = parentKey;
        node->name = source->name;
        node->displayName = source->name;
        node->url = source->url;
        rows.append({node->id, node->parentValue, node->name, node->url});
        for (const auto& child : source->children) {
            auto childCopy = copy(child.get(), node->id);
            childCopy->parent = node.get();
            node->children.push_back(std::move(childCopy));
        }
        return node;
    };
    std::unique_ptr<Node> root = copy(nodeOf(dragged), onto->id);
    m_database.insertSites(rows);
    std::vector<Node*> pending{root.get()};
    while (!pending.empty()) {
        Node* node = pending.back();
        pending.pop_back();
        m_byId.insert(node->id, node);
        for (const auto& child : node->children)
            pending.push_back(child.get());
    }
    m_byId.remove(root->id); // appendNode registers the subtree's root
    return appendNode(onto, std::move(root));
}

QModelIndex SiteTreeModel::remove(const QModelIndex& index)
{
    Node* node = nodeOf(index);
    if (!node || !node->children.empty())
        return index;
    m_database.deleteSite(node->id);
    Node* parent = node->parent;
    const int row = rowOf(node);
    m_byId.remove(node->id);
    takeNode(node);
    if (!parent->children.empty())
        return indexOfNode(parent->children[size_t(std::min<int>(row, int(parent->children.size()) - 1))].get());
    return indexOfNode(parent);
}

void SiteTreeModel::siteStored(int id, const QString& name, const QString& url)
{
    Node* node = m_byId.value(id);
    if (!node)
        return;
    node->url = url;
    const bool renamed = node->displayName != name || node->name != name;
    node->name = node->displayName = name;
    const QModelIndex index = indexOfNode(node);
    emit dataChanged(index, index);
    if (renamed)
        sortSiblings(node->parent);
}

void SiteTreeModel::previewName(int id, const QString& name)
{
    Node* node = m_byId.value(id);
    if (!node || node->displayName == name)
        return;
    node->displayName = name;
    const QModelIndex index = indexOfNode(node);
    emit dataChanged(index, index, {Qt::DisplayRole});
    sortSiblings(node->parent);
}

QModelIndex SiteTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    const Node* parentNode = parent.isValid() ? nodeOf(parent) : &m_root;
    if (column != 0 || row < 0 || row >= int(parentNode->children.size()))
        return {};
    return createIndex(row, column, parentNode->children[size_t(row)].get());
}

QModelIndex SiteTreeModel::parent(const QModelIndex& child) const
{
    const Node* node = nodeOf(child);
    return node ? indexOfNode(node->parent) : QModelIndex();
}

int SiteTreeModel::rowCount(const QModelIndex& parent) const
{
    if (parent.column() > 0)
        return 0;
    const Node* node = parent.isValid() ? nodeOf(parent) : &m_root;
    return int(node->children.size());
}

int SiteTreeModel::columnCount(const QModelIndex&) const
{
    return 1;
}

QVariant SiteTreeModel::data(const QModelIndex& index, int role) const
{
    const Node* node = nodeOf(index);
    if (!node)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return node->displayName;
    case Qt::EditRole:
        return node->name; // the editor starts from the stored name
    case Qt::DecorationRole:
        return Icons::treeIcon(imageOf(index));
    case IdRole:
        return node->id;
    case UrlRole:
        return node->url;
    default:
        return {};
    }
}

bool SiteTreeModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    Node* node = nodeOf(index);
    if (!node || role != Qt::EditRole)
        return false;
    const QString name = value.toString();
    if (name == node->name && name == node->displayName)
        return true; // confirmed unchanged: nothing to store, the node keeps its place
    m_database.renameSite(node->id, name);
    node->name = node->displayName = name;
    emit dataChanged(index, index);
    sortSiblings(node->parent);
    return true;
}

Qt::ItemFlags SiteTreeModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
}

QStringList SiteTreeModel::mimeTypes() const
{
    return {QLatin1String(MimeType)};
}

QMimeData* SiteTreeModel::mimeData(const QModelIndexList& indexes) const
{
    if (indexes.isEmpty())
        return nullptr;
    auto* data = new QMimeData;
    data->setData(QLatin1String(MimeType), QByteArray::number(idOf(indexes.first())));
    return data;
}

Qt::DropActions SiteTreeModel::supportedDragActions() const
{
    return Qt::MoveAction | Qt::CopyAction;
}

Qt::DropActions SiteTreeModel::supportedDropActions() const
{
    return Qt::MoveAction | Qt::CopyAction;
}
