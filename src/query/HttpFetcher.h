#pragma once

#include "query/ProviderCatalogue.h"

#include <QByteArray>
#include <QString>

#include <atomic>

typedef void CURL;

// Limits that make every fetch end. Tests shorten them.
struct FetchLimits
{
    int connectTimeoutMs = 10000;
    int totalTimeoutMs = 30000;
    int lowSpeedBytesPerSecond = 512;
    int lowSpeedSeconds = 15;
    qint64 maxBodyBytes = 16 * 1024 * 1024;
};

struct FetchResult
{
    bool ok = false;
    long status = 0;
    QByteArray body;
    QString error;
};

// HTTP/1.1 GET on libcurl for one provider step: one easy handle, so the step's requests
// share a connection and an in-memory cookie jar that no other step sees. Redirects are not
// followed; every answer but 2xx is a failure. Use it on one thread only.
class HttpFetcher final
{
public:
    // Once in main(), before any thread starts.
    static void globalInit();

    explicit HttpFetcher(const FetchLimits& limits, const std::atomic<bool>* cancelled = nullptr);
    ~HttpFetcher();
    HttpFetcher(const HttpFetcher&) = delete;
    HttpFetcher& operator=(const HttpFetcher&) = delete;

    FetchResult get(const HttpRequest& request);

private:
    static size_t onBody(char* data, size_t size, size_t count, void* self);
    static int onProgress(void* self, qint64, qint64, qint64, qint64);

    FetchLimits m_limits;
    const std::atomic<bool>* m_cancelled = nullptr;
    CURL* m_curl = nullptr;
    QByteArray m_body;
    bool m_tooLarge = false;
};
