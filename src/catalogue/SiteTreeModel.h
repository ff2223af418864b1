#pragma once

#include "catalogue/SiteDatabase.h"

#include <QAbstractItemModel>

#include <memory>
#include <vector>

// Table master as a tree: each row a node, pr_name its text, pr_parent its parent. Every
// change made here is written to the table first, in one transaction; a database error leaves
// tree and table as they were.
class SiteTreeModel final : public QAbstractItemModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SiteTreeModel)

public:
    static constexpr const char* MimeType = "application/x-korvani-site-node";
    enum Roles { IdRole = Qt::UserRole + 1, UrlRole };
    // Pictures of the tree image list.
    static constexpr int FolderImage = 0;
    static constexpr int HouseImage = 4;
    static constexpr int GlobeImage = 7;

    explicit SiteTreeModel(SiteDatabase& database, QObject* parent = nullptr);
    ~SiteTreeModel() override;

    // Builds the tree from the table, in any table order. A row whose parent is null, itself,
    // missing, or part of a loop of parents shows at top level.
    void fill();

    QModelIndex indexOf(int id) const;
    int idOf(const QModelIndex& index) const;
    bool isEmpty() const { return m_byId.isEmpty(); }
    bool isLeaf(const QModelIndex& index) const;
    // The first top-level node in sort order.
    bool isFirstNode(const QModelIndex& index) const;
    std::optional<SiteRecord> record(int id) const;
    int imageOf(const QModelIndex& index) const;

    // Commands; each returns the index of the node it made or moved to.
    QModelIndex addSibling(const QModelIndex& selected, const QString& text);
    QModelIndex addChild(const QModelIndex& parent, const QString& text);
    QModelIndex moveUp(const QModelIndex& index);
    bool canDrop(const QModelIndex& dragged, const QModelIndex& target) const;
    QModelIndex moveTo(const QModelIndex& dragged, const QModelIndex& target);
    QModelIndex copyTo(const QModelIndex& dragged, const QModelIndex& target);
    // Deletes a node without children with its row and stored queries; returns a neighbour.
    QModelIndex remove(const QModelIndex& index);
    // A name and address stored elsewhere (the site dialog).
    void siteStored(int id, const QString& name, const QString& url);
    // A name typed but not stored yet shows as the node's text.
    void previewName(int id, const QString& name);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override;
    Qt::DropActions supportedDropActions() const override;

private:
    struct Node
    {
        int id = 0;
        QVariant parentValue;
        QString name;
        QString displayName; // differs from name while an edit is pending
        QString url;
        Node* parent = nullptr;
        std::vector<std::unique_ptr<Node>> children;
    };

    Node* nodeOf(const QModelIndex& index) const;
    QModelIndex indexOfNode(const Node* node) const;
    int rowOf(const Node* node) const;
    int nextKey() const;
    void sortSiblings(Node* parent);
    QModelIndex appendNode(Node* parent, std::unique_ptr<Node> node);
    QModelIndex reparent(Node* node, Node* newParent);
    std::unique_ptr<Node> takeNode(Node* node);
    bool isDescendant(const Node* node, const Node* ancestor) const;

    SiteDatabase& m_database;
    Node m_root;
    QHash<int, Node*> m_byId;
};
