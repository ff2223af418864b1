#include "query/HttpFetcher.h"

#include <curl/curl.h>

void HttpFetcher::globalInit()
{
    curl_global_init(CURL_GLOBAL_DEFAULT);
}

HttpFetcher::HttpFetcher(const FetchLimits& limits, const std::atomic<bool>* cancelled)
    : m_limits(limits)
    , m_cancelled(cancelled)
    , m_curl(curl_easy_init())
{
    if (!m_curl)
        return;
    curl_easy_setopt(m_curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(m_curl, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(m_curl, CURLOPT_PROTOCOLS_STR, "http");
    curl_easy_setopt(m_curl, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(m_curl, CURLOPT_PROXY, ""); // no proxy, also none from the environment
    curl_easy_setopt(m_curl, CURLOPT_COOKIEFILE, ""); // in-memory cookie jar of this handle
    curl_easy_setopt(m_curl, CURLOPT_CONNECTTIMEOUT_MS, long(m_limits.connectTimeoutMs));
    curl_easy_setopt(m_curl, CURLOPT_TIMEOUT_MS, long(m_limits.totalTimeoutMs));
    curl_easy_setopt(m_curl, CURLOPT_LOW_SPEED_LIMIT, long(m_limits.lowSpeedBytesPerSecond));
    curl_easy_setopt(m_curl, CURLOPT_LOW_SPEED_TIME, long(m_limits.lowSpeedSeconds));
    curl_easy_setopt(m_curl, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(m_limits.maxBodyBytes));
    curl_easy_setopt(m_curl, CURLOPT_WRITEFUNCTION, &HttpFetcher::onBody);
    curl_easy_setopt(m_curl, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(m_curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(m_curl, CURLOPT_XFERINFOFUNCTION, &HttpFetcher::onProgress);
    curl_easy_setopt(m_curl, CURLOPT_XFERINFODATA, this);
}

HttpFetcher::~HttpFetcher()
{
    if (m_curl)
        curl_easy_cleanup(m_curl);
}

size_t HttpFetcher::onBody(char* data, size_t size, size_t count, void* self)
{
    auto* fetcher = static_cast<HttpFetcher*>(self);
    const size_t bytes = size * count;
    // The size option alone misses bodies of unknown length.
    if (fetcher->m_body.size() + qint64(bytes) > fetcher->m_limits.maxBodyBytes) {
        fetcher->m_tooLarge = true;
        return 0;
    }
    fetcher->m_body.append(data, qsizetype(bytes));
    return bytes;
}

int HttpFetcher::onProgress(void* self, qint64, qint64, qint64, qint64)
{
    const auto* fetcher = static_cast<HttpFetcher*>(self);
    return fetcher->m_cancelled && fetcher->m_cancelled->load() ? 1 : 0;
}

namespace {

// The request target goes out as the catalogue built it (GBK bytes of the domain unescaped),
// except bytes that would break the request line or start a header line of their own.
QByteArray safeTarget(QByteArrayView target)
{
    QByteArray safe;
    safe.reserve(target.size());
    for (const char c : target) {
        const auto byte = static_cast<uchar>(c);
        if (byte <= 0x20 || byte == 0x7F)
            safe += '%' + QByteArray::number(byte, 16).rightJustified(2, '0').toUpper();
        else
            safe += c;
    }
    return safe.isEmpty() ? QByteArray("/") : safe;
}

} // namespace

FetchResult HttpFetcher::get(const HttpRequest& request)
{
    FetchResult result;
    if (!m_curl) {
        result.error = QStringLiteral("no HTTP client");
        return result;
    }
    m_body.clear();
    m_tooLarge = false;

    curl_slist* headers = curl_slist_append(nullptr, "Accept: text/html, */*");
    curl_easy_setopt(m_curl, CURLOPT_HTTPHEADER, headers);
    // libcurl would percent-encode the bytes of a Chinese domain; the target is set apart.
    const qsizetype hostStart = request.url.indexOf("://") + 3;
    const qsizetype pathStart = request.url.indexOf('/', hostStart);
    const QByteArray origin = pathStart < 0 ? request.url : request.url.left(pathStart);
    const QByteArray target = safeTarget(pathStart < 0 ? QByteArrayView() : QByteArrayView(request.url).sliced(pathStart));
    const QByteArray url = origin + '/';
    curl_easy_setopt(m_curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(m_curl, CURLOPT_REQUEST_TARGET, target.constData());
    curl_easy_setopt(m_curl, CURLOPT_USERAGENT, request.userAgent.constData());
    curl_easy_setopt(m_curl, CURLOPT_REFERER, request.referer.constData());

    const CURLcode code = curl_easy_perform(m_curl);
    curl_easy_setopt(m_curl, CURLOPT_HTTPHEADER, nullptr);
    curl_slist_free_all(headers);

    curl_easy_getinfo(m_curl, CURLINFO_RESPONSE_CODE, &result.status);
    if (code != CURLE_OK) {
        result.error = m_tooLarge ? QStringLiteral("answer larger than %1 bytes").arg(m_limits.maxBodyBytes)
                                  : QString::fromUtf8(curl_easy_strerror(code));
    } else if (result.status < 200 || result.status > 299) {
        result.error = QStringLiteral("HTTP status %1").arg(result.status);
    } else {
        result.ok = true;
        result.body = std::move(m_body);
    }
    m_body = QByteArray();
    return result;
}
