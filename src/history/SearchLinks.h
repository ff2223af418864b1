#pragma once

#include <QByteArray>

#include <optional>

class ServiceHosts;

// The search page behind each metric column of the history grid.
namespace SearchLinks {

// The page's address (GBK bytes) for a row's stored site address, or nothing for a column
// without a link (0, 1, 21, 22).
std::optional<QByteArray> url(int column, const QByteArray& siteAddress, const ServiceHosts& hosts);

} // namespace SearchLinks
