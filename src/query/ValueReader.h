#pragma once

#include "query/ProviderCatalogue.h"

#include <QByteArray>

#include <optional>

// Reading numbers out of result pages. Pages, captures and domains are GBK bytes; every
// text match and removal happens only at GBK character boundaries.
namespace ValueReader {

// The stored site address without every "http://", then every "/", then every "www.".
QByteArray siteDomain(const QByteArray& address);

// The text of an expression "prefix(.*?)suffix" in the page, searched up to the page's first
// zero byte, trimmed and cleaned; "0" when the page does not contain the expression.
QByteArray readValue(const ValueSpec& value, const QByteArray& page);
QByteArray readValue(const QByteArray& expression, CleanUp cleanUp, const QByteArray& page);

// A signed 32-bit integer: leading spaces, an optional sign, then decimal digits or up to
// eight hexadecimal digits after "$", "x", "X", "0x" or "0X". Anything else fails.
std::optional<int> convert(const QByteArray& text);

// Every occurrence of needle that starts at a character boundary, left to right.
QByteArray removeAll(const QByteArray& text, const QByteArray& needle);
bool isCharBoundary(QByteArrayView text, qsizetype position);

} // namespace ValueReader
