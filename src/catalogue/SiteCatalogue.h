#pragma once

#include "catalogue/SiteDatabase.h"

#include <optional>

class SiteTreeModel;

// The current row of table master, the site every site command works on, and an edit of it
// that the site dialog left pending.
class SiteCatalogue final
{
public:
    SiteCatalogue(SiteDatabase& database, SiteTreeModel& model);

    // The row the cursor is on: the selected node's, or the first row before any selection.
    std::optional<SiteRecord> current() const;
    int currentId() const { return m_currentId; }
    // Moving away from a row stores its pending edit first.
    void setCurrent(int id);

    void setPendingEdit(const QString& name, const QString& url);
    bool hasPendingEdit() const { return m_pending.has_value(); }
    // Stores a pending edit; on an error it stays pending.
    void flushPending();
    void discardPending();

    // Stores name and address of the current row (Post).
    void store(const QString& name, const QString& url);

private:
    SiteDatabase& m_database;
    SiteTreeModel& m_model;
    int m_currentId = -1;
    std::optional<std::pair<QString, QString>> m_pending;
};
