#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>

// Who answers a request, or whose name goes into a Referer header. Each role is one
// configurable host (cfg.ini, section "hosts").
enum class HostRole {
    Baidu, Alexa, AlexaReferer, ChinaRank, PageRank, Google, Yahoo, Sogou, Soso, Bing, BingReferer,
    Youdao, PageRankLink, La51, Maker,
};
inline constexpr int HostRoleCount = 15;

enum class CleanUp { Comma, Approximate, Unchecked, TenThousand };

// One HTTP request of a provider step.
struct FetchSpec
{
    const char* key;
    int fetch; // 1-based, in step order
    HostRole host;
    const char* path;
    const char* suffix;
    HostRole referer;
    bool utf8Body;
    const char* status;
};

// One value read from the page of a fetch.
struct ValueSpec
{
    const char* key;
    const char* field;
    int fetch;
    const char* status; // set for a value read from a page already fetched for another value
    const char* expression;
    CleanUp cleanUp;
    int column;
    const char* failureValue;
    // The cell is written once the step's fetches are over, and a text that does not convert
    // makes only this value fail, not its fetch.
    bool cellAfterStep;
};

struct HttpRequest
{
    QByteArray url;
    QByteArray referer;
    QByteArray userAgent;
};

class ServiceHosts;

namespace ProviderCatalogue {

// The nine provider keys in launch order.
const std::array<const char*, 9>& providerKeys();
const QList<FetchSpec>& fetches();
const QList<ValueSpec>& values();
QList<FetchSpec> fetchesOf(const QString& key);
inline constexpr int AllFetches = 0;
// The values a provider reads from the page of one fetch, or from all of its pages.
QList<ValueSpec> valuesOf(const QString& key, int fetch = AllFetches);

// The request of a fetch for a site domain (GBK bytes, put in unchanged).
HttpRequest buildRequest(const FetchSpec& fetch, const QByteArray& domain, const ServiceHosts& hosts);

} // namespace ProviderCatalogue
