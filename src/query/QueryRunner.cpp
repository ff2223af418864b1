#include "query/QueryRunner.h"

#include "app/CommandError.h"
#include "catalogue/SiteDatabase.h"
#include "query/ProviderWorker.h"
#include "query/TextUtils.h"
#include "query/ValueReader.h"

#include <QDateTime>

QueryRunner::QueryRunner(SiteDatabase& database, QObject* parent)
    : QObject(parent)
    , m_database(database)
{
}

QueryRunner::~QueryRunner()
{
    cancel();
}

void QueryRunner::launch(int siteId, const QString& siteAddress)
{
    if (m_running)
        throw CommandError(QStringLiteral("上次查询未结束"));
    if (TrimBlanks(siteAddress).isEmpty())
        throw CommandError(QStringLiteral("网址不能为空"));
    m_predictedAutoId = m_database.maxAutoId() + 1;

    waitForWorkers(); // the last query's workers have reported; let them end
    ++m_generation;
    m_running = true;
    m_queryStepCount = 0;
    m_slots = std::make_shared<ResultSlots>();
    m_cancelled = std::make_shared<std::atomic<bool>>(false);
    const quint64 generation = m_generation;
    for (const char* key : ProviderCatalogue::providerKeys()) {
        auto* worker = new ProviderWorker({siteId, siteAddress, QLatin1String(key)}, m_slots, m_hosts, m_limits,
                                          m_cancelled, this);
        // Signals of a cancelled query's workers may still be queued; they carry its generation.
        connect(worker, &ProviderWorker::statusText, this, [this, generation](const QString& text) {
            if (generation == m_generation)
                emit statusText(text);
        });
        connect(worker, &ProviderWorker::cellValue, this, [this, generation](int column, int value) {
            if (generation == m_generation)
                emit cellValue(column, value);
        });
        connect(worker, &ProviderWorker::refreshRequested, this, [this, generation] {
            if (generation == m_generation)
                emit refreshRequested();
        });
        connect(worker, &ProviderWorker::completed, this,
                [this, generation](int reportingSiteId) { onCompleted(generation, reportingSiteId); });
        connect(worker, &QThread::finished, worker, &QObject::deleteLater);
        m_workers << worker;
        worker->start();
    }
}

void QueryRunner::onCompleted(quint64 generation, int siteId)
{
    if (generation != m_generation || !m_running)
        return;
    if (m_queryStepCount != 8) {
        ++m_queryStepCount;
        return;
    }
    m_queryStepCount = 0;

    DetailsRecord record;
    record.prId = siteId;
    record.addtime = QDateTime::currentDateTime();
    for (int i = 0; i < MetricCount; ++i)
        record.values[static_cast<size_t>(i)] = ValueReader::convert(m_slots->values[static_cast<size_t>(i)]).value_or(-1);
    m_running = false;
    m_lastRecord = record;
    try {
        m_lastRecord.autoid = m_database.storeDetails(record);
    } catch (const CommandError& error) {
        emit storeFailed(error.message());
        return;
    }
    emit finished(m_lastRecord.autoid);
}

void QueryRunner::cancel()
{
    if (m_cancelled)
        m_cancelled->store(true);
    waitForWorkers();
    if (m_running) {
        m_running = false;
        m_queryStepCount = 0;
        ++m_generation;
    }
}

void QueryRunner::waitForWorkers()
{
    for (const QPointer<ProviderWorker>& worker : std::as_const(m_workers)) {
        if (worker)
            worker->wait();
    }
    m_workers.clear();
}
