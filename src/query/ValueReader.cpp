#include "query/ValueReader.h"

#include "query/Gbk.h"
#include "query/TextUtils.h"

#include <QHash>
#include <QMutex>
#include <QRegularExpression>

#include <cstring>

namespace ValueReader {
namespace {

// Finds needles at character boundaries, left to right. It remembers the last boundary it
// established, so a run of double-byte text is scanned once, not once per candidate.
class BoundarySearch
{
public:
    explicit BoundarySearch(QByteArrayView text) : m_text(text) {}

    qsizetype find(QByteArrayView needle, qsizetype from)
    {
        qsizetype at = indexOf(needle, from);
        while (at >= 0 && !isBoundary(at))
            at = indexOf(needle, at + 1);
        return at;
    }

    bool isBoundary(qsizetype position)
    {
        // A byte below 0x40 is never part of a double-byte character: the scan can start
        // right after the last such byte, or at a boundary found before.
        qsizetype i = position;
        while (i > m_known && static_cast<uchar>(m_text.at(i - 1)) >= 0x40)
            --i;
        if (i < m_known)
            i = m_known;
        while (i < position)
            i += Gbk::charLength(m_text, i);
        m_known = i;
        return i == position;
    }

private:
    // glibc's memmem is several times faster than a generic search on megabyte pages.
    qsizetype indexOf(QByteArrayView needle, qsizetype from) const
    {
        if (needle.isEmpty())
            return from <= m_text.size() ? from : -1;
        if (from + needle.size() > m_text.size())
            return -1;
        const void* found = ::memmem(m_text.data() + from, size_t(m_text.size() - from), needle.data(), size_t(needle.size()));
        return found ? static_cast<const char*>(found) - m_text.data() : -1;
    }

    QByteArrayView m_text;
    qsizetype m_known = 0;
};

// "prefix(.*?)suffix" with the prefix's escapes resolved. Every expression of the catalogue
// has this form; another form is matched by the regular-expression engine on decoded text.
struct Expression
{
    bool simple = false;
    QByteArray prefix;
    QByteArray suffix;
    QRegularExpression regex;
};

bool unescapeLiteral(const QByteArray& pattern, QByteArray* literal)
{
    static const QByteArray special("\\.^$|?*+()[]{}");
    literal->clear();
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const char c = pattern.at(i);
        if (c == '\\') {
            if (++i >= pattern.size() || !special.contains(pattern.at(i)))
                return false;
            literal->append(pattern.at(i));
        } else if (special.contains(c)) {
            return false;
        } else {
            literal->append(c);
        }
    }
    return true;
}

Expression compile(const QByteArray& expression)
{
    Expression compiled;
    const QByteArray group("(.*?)");
    const qsizetype at = expression.indexOf(group);
    if (at >= 0) {
        compiled.simple = unescapeLiteral(expression.left(at), &compiled.prefix)
                          && unescapeLiteral(expression.mid(at + group.size()), &compiled.suffix);
    }
    if (!compiled.simple) {
        compiled.regex.setPattern(Gbk::decode(expression));
        compiled.regex.setPatternOptions(QRegularExpression::DotMatchesEverythingOption);
    }
    return compiled;
}

const Expression& compiled(const QByteArray& expression)
{
    static QMutex mutex;
    static QHash<QByteArray, Expression> cache;
    const QMutexLocker lock(&mutex);
    auto it = cache.find(expression);
    if (it == cache.end())
        it = cache.insert(expression, compile(expression));
    return *it; // entries are never removed, so the reference stays valid
}

std::optional<QByteArray> capture(const Expression& expression, QByteArrayView page)
{
    if (!expression.simple) {
        const QString text = Gbk::decode(page.toByteArray());
        const QRegularExpressionMatch match = expression.regex.match(text);
        if (!match.hasMatch())
            return std::nullopt;
        return Gbk::encode(match.captured(1));
    }
    // The leftmost prefix decides: if no suffix follows it, none follows a later one.
    BoundarySearch search(page);
    const qsizetype start = search.find(expression.prefix, 0);
    if (start < 0)
        return std::nullopt;
    const qsizetype from = start + expression.prefix.size();
    const qsizetype end = search.find(expression.suffix, from);
    if (end < 0)
        return std::nullopt;
    return page.sliced(from, end - from).toByteArray();
}

QByteArray removeCommas(QByteArray text)
{
    return text.replace(',', QByteArray());
}

} // namespace

bool isCharBoundary(QByteArrayView text, qsizetype position)
{
    if (position <= 0 || position >= text.size())
        return position == 0 || position == text.size();
    return BoundarySearch(text).isBoundary(position);
}

QByteArray removeAll(const QByteArray& text, const QByteArray& needle)
{
    BoundarySearch search(text);
    qsizetype at = needle.isEmpty() ? -1 : search.find(needle, 0);
    if (at < 0)
        return text;
    QByteArray result;
    result.reserve(text.size());
    qsizetype kept = 0;
    while (at >= 0) {
        result.append(text.constData() + kept, at - kept);
        kept = at + needle.size();
        at = search.find(needle, kept);
    }
    result.append(text.constData() + kept, text.size() - kept);
    return result;
}

QByteArray siteDomain(const QByteArray& address)
{
    return removeAll(removeAll(removeAll(address, "http://"), "/"), "www.");
}

QByteArray readValue(const QByteArray& expression, CleanUp cleanUp, const QByteArray& page)
{
    QByteArrayView text(page);
    const qsizetype zero = text.indexOf('\0');
    if (zero >= 0)
        text = text.first(zero);
    const std::optional<QByteArray> captured = capture(compiled(expression), text);
    if (!captured)
        return "0";

    static const QByteArray approximately = Gbk::encode(QStringLiteral("约"));
    static const QByteArray tenThousand = Gbk::encode(QStringLiteral("万"));
    const QByteArray value = TrimBlanks(*captured);
    switch (cleanUp) {
    case CleanUp::Comma:
        return value.isEmpty() ? QByteArray("0") : removeCommas(value);
    case CleanUp::Approximate:
        return value.isEmpty() ? QByteArray("0") : removeAll(removeCommas(value), approximately);
    case CleanUp::Unchecked:
        return removeAll(removeCommas(value), approximately);
    case CleanUp::TenThousand:
        // The count is not multiplied: "约1,230万" reads as 1230.
        return value.isEmpty() ? QByteArray("0") : removeAll(removeAll(removeCommas(value), approximately), tenThousand);
    }
    return value;
}

QByteArray readValue(const ValueSpec& value, const QByteArray& page)
{
    static QMutex mutex;
    static QHash<const char*, QByteArray> expressions;
    QByteArray expression;
    {
        const QMutexLocker lock(&mutex);
        auto it = expressions.find(value.expression);
        if (it == expressions.end())
            it = expressions.insert(value.expression, Gbk::encode(QString::fromUtf8(value.expression)));
        expression = *it;
    }
    return readValue(expression, value.cleanUp, page);
}

std::optional<int> convert(const QByteArray& text)
{
    qsizetype i = 0;
    const qsizetype size = text.size();
    while (i < size && text.at(i) == ' ')
        ++i;
    bool negative = false;
    if (i < size && (text.at(i) == '+' || text.at(i) == '-')) {
        negative = text.at(i) == '-';
        ++i;
    }
    bool hex = false;
    if (i < size && (text.at(i) == '$' || text.at(i) == 'x' || text.at(i) == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < size && text.at(i) == '0' && (text.at(i + 1) == 'x' || text.at(i + 1) == 'X')) {
        hex = true;
        i += 2;
    }
    if (i >= size)
        return std::nullopt;

    qint64 magnitude = 0;
    for (; i < size; ++i) {
        const char c = text.at(i);
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return std::nullopt;
        magnitude = magnitude * (hex ? 16 : 10) + digit;
        if (magnitude > (hex ? qint64(0xFFFFFFFF) : qint64(2147483648)))
            return std::nullopt;
    }
    if (hex) {
        // Up to eight digits read as a 32-bit pattern: "$FFFFFFFF" is -1.
        const auto pattern = static_cast<quint32>(magnitude);
        return static_cast<int>(negative ? 0u - pattern : pattern);
    }
    if (!negative && magnitude > 2147483647)
        return std::nullopt;
    return static_cast<int>(negative ? -magnitude : magnitude);
}

} // namespace ValueReader
