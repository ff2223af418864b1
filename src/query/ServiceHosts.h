#pragma once

#include "query/ProviderCatalogue.h"

#include <QByteArray>

#include <array>

class IniStore;

// The host ("host" or "host:port") of every service role. Built-in defaults, each of which
// cfg.ini can override in section "hosts" under the role's key.
class ServiceHosts final
{
public:
    ServiceHosts();
    // Reads the overrides; an unreadable file keeps the defaults.
    static ServiceHosts fromSettings(const IniStore& settings);

    static const char* key(HostRole role);
    static const char* defaultHost(HostRole role);

    QByteArray host(HostRole role) const { return m_hosts.at(static_cast<size_t>(role)); }
    void setHost(HostRole role, const QByteArray& host) { m_hosts[static_cast<size_t>(role)] = host; }
    // Points every role at one host, e.g. a local test server.
    void setAll(const QByteArray& host);

private:
    std::array<QByteArray, HostRoleCount> m_hosts;
};
