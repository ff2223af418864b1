#include "query/ServiceHosts.h"

#include "app/CommandError.h"
#include "app/IniStore.h"

namespace {

struct RoleInfo
{
    HostRole role;
    const char* key;
    const char* host;
};

constexpr std::array<RoleInfo, HostRoleCount> Roles = {{
    {HostRole::Baidu, "baidu", "www.baidu.com"},
    {HostRole::Alexa, "alexa", "cn.alexa.com"},
    {HostRole::AlexaReferer, "alexa_referer", "www.alexa.com"},
    {HostRole::ChinaRank, "chinarank", "www.chinarank.org.cn"},
    {HostRole::PageRank, "pagerank", "www.prchecker.info"},
    {HostRole::Google, "google", "www.google.com.hk"},
    {HostRole::Yahoo, "yahoo", "sitemap.cn.yahoo.com"},
    {HostRole::Sogou, "sogou", "www.sogou.com"},
    {HostRole::Soso, "soso", "www.soso.com"},
    {HostRole::Bing, "bing", "cn.bing.com"},
    {HostRole::BingReferer, "bing_referer", "www.bing.com"},
    {HostRole::Youdao, "youdao", "www.youdao.com"},
    {HostRole::PageRankLink, "pagerank_link", "www.checkpagerank.net"},
    {HostRole::La51, "51la", "www.51.la"},
    {HostRole::Maker, "maker", "www.korvani.cn"},
}};

const RoleInfo& info(HostRole role)
{
    return Roles.at(static_cast<size_t>(role));
}

} // namespace

ServiceHosts::ServiceHosts()
{
    for (const RoleInfo& role : Roles)
        m_hosts[static_cast<size_t>(role.role)] = role.host;
}

ServiceHosts ServiceHosts::fromSettings(const IniStore& settings)
{
    ServiceHosts hosts;
    try {
        for (const RoleInfo& role : Roles) {
            const QString value = settings.readString(QStringLiteral("hosts"), QLatin1String(role.key), QString());
            if (!value.isEmpty())
                hosts.setHost(role.role, value.toLatin1());
        }
    } catch (const CommandError&) {
        // An unreadable cfg.ini was reported at start-up already.
    }
    return hosts;
}

const char* ServiceHosts::key(HostRole role)
{
    return info(role).key;
}

const char* ServiceHosts::defaultHost(HostRole role)
{
    return info(role).host;
}

void ServiceHosts::setAll(const QByteArray& host)
{
    m_hosts.fill(host);
}
