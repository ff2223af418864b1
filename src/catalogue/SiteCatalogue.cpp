#include "catalogue/SiteCatalogue.h"

#include "catalogue/SiteTreeModel.h"

SiteCatalogue::SiteCatalogue(SiteDatabase& database, SiteTreeModel& model)
    : m_database(database)
    , m_model(model)
{
}

std::optional<SiteRecord> SiteCatalogue::current() const
{
    std::optional<SiteRecord> record = m_model.record(m_currentId);
    if (!record && !m_model.isEmpty()) {
        // Before any selection the cursor is on the table's first row.
        const QList<SiteRecord> rows = m_database.sites();
        if (!rows.isEmpty())
            record = m_model.record(rows.first().id);
    }
    if (record && m_pending && record->id == m_currentId) {
        record->name = m_pending->first;
        record->url = m_pending->second;
    }
    return record;
}

void SiteCatalogue::setCurrent(int id)
{
    if (id == m_currentId)
        return;
    flushPending();
    m_currentId = id;
}

void SiteCatalogue::setPendingEdit(const QString& name, const QString& url)
{
    if (m_currentId < 0) {
        if (const std::optional<SiteRecord> record = current())
            m_currentId = record->id;
    }
    m_pending = std::make_pair(name, url);
    m_model.previewName(m_currentId, name);
}

void SiteCatalogue::flushPending()
{
    if (!m_pending)
        return;
    const auto [name, url] = *m_pending;
    m_database.updateSite(m_currentId, name, url);
    m_pending.reset();
    m_model.siteStored(m_currentId, name, url);
}

void SiteCatalogue::discardPending()
{
    m_pending.reset();
    if (const std::optional<SiteRecord> record = m_model.record(m_currentId))
        m_model.previewName(record->id, record->name);
}

void SiteCatalogue::store(const QString& name, const QString& url)
{
    setPendingEdit(name, url);
    flushPending();
}
