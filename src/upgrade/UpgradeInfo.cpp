#include "upgrade/UpgradeInfo.h"

#include <QStringList>
#include <QUrl>

#include <sodium.h>

namespace UpgradeInfo {
namespace {

bool sodiumReady()
{
    static const bool ready = sodium_init() >= 0;
    return ready;
}

bool isHex(const QByteArray& text)
{
    for (const char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    }
    return true;
}

} // namespace

bool isSafePath(const QString& path)
{
    if (path.isEmpty() || path.startsWith(QLatin1Char('/')) || path.contains(QLatin1Char('\\'))
        || path.contains(QLatin1Char(':')))
        return false;
    for (const QString& part : path.split(QLatin1Char('/'))) {
        if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String(".."))
            return false;
    }
    for (const QChar c : path) {
        if (c.unicode() < 32)
            return false;
    }
    return true;
}

std::optional<Info> parse(const QByteArray& bytes, const QByteArray& publicKey)
{
    if (bytes.size() > MaxInfoBytes || publicKey.size() != crypto_sign_PUBLICKEYBYTES || !sodiumReady())
        return std::nullopt;
    const qsizetype at = bytes.lastIndexOf("\nsignature ");
    if (at < 0)
        return std::nullopt;
    const QByteArray body = bytes.left(at + 1);
    const QByteArray signature = QByteArray::fromBase64(bytes.mid(at + 11).trimmed(), QByteArray::AbortOnBase64DecodingErrors);
    if (signature.size() != crypto_sign_BYTES
        || crypto_sign_verify_detached(reinterpret_cast<const unsigned char*>(signature.constData()),
                                       reinterpret_cast<const unsigned char*>(body.constData()), size_t(body.size()),
                                       reinterpret_cast<const unsigned char*>(publicKey.constData()))
               != 0)
        return std::nullopt;

    Info info;
    bool header = false;
    bool hasVersion = false;
    bool hasSequence = false;
    for (const QByteArray& line : body.split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (trimmed.isEmpty())
            continue;
        const qsizetype space = trimmed.indexOf(' ');
        const QByteArray key = space < 0 ? trimmed : trimmed.left(space);
        const QByteArray value = space < 0 ? QByteArray() : trimmed.mid(space + 1);
        if (key == "korvani-upgrade") {
            header = value == "1";
        } else if (key == "version") {
            info.version = QString::fromUtf8(value);
            hasVersion = !info.version.isEmpty();
        } else if (key == "sequence") {
            info.sequence = value.toLongLong(&hasSequence);
        } else if (key == "notes") {
            info.notes = QString::fromUtf8(QByteArray::fromPercentEncoding(value));
        } else if (key == "file") {
            const QList<QByteArray> parts = value.split(' ');
            if (parts.size() < 3)
                return std::nullopt;
            File file;
            file.sha256 = parts.at(0);
            bool sizeOk = false;
            file.size = parts.at(1).toLongLong(&sizeOk);
            file.path = QString::fromUtf8(value.mid(parts.at(0).size() + parts.at(1).size() + 2));
            if (file.sha256.size() != 64 || !isHex(file.sha256) || !sizeOk || file.size < 0 || !isSafePath(file.path))
                return std::nullopt;
            info.files << file;
        } else {
            return std::nullopt;
        }
    }
    if (!header || !hasVersion || !hasSequence)
        return std::nullopt;
    return info;
}

int compareVersions(const QString& a, const QString& b)
{
    const QStringList left = a.split(QLatin1Char('.'));
    const QStringList right = b.split(QLatin1Char('.'));
    for (qsizetype i = 0; i < std::max(left.size(), right.size()); ++i) {
        const qlonglong x = i < left.size() ? left.at(i).trimmed().toLongLong() : 0;
        const qlonglong y = i < right.size() ? right.at(i).trimmed().toLongLong() : 0;
        if (x != y)
            return x < y ? -1 : 1;
    }
    return 0;
}

QByteArray sign(const QByteArray& unsignedInfo, const QByteArray& secretKey)
{
    if (secretKey.size() != crypto_sign_SECRETKEYBYTES || !sodiumReady())
        return {};
    QByteArray body = unsignedInfo;
    if (!body.endsWith('\n'))
        body += '\n';
    QByteArray signature(crypto_sign_BYTES, '\0');
    crypto_sign_detached(reinterpret_cast<unsigned char*>(signature.data()), nullptr,
                         reinterpret_cast<const unsigned char*>(body.constData()), size_t(body.size()),
                         reinterpret_cast<const unsigned char*>(secretKey.constData()));
    return body + "signature " + signature.toBase64() + '\n';
}

bool generateKeys(QByteArray* publicKey, QByteArray* secretKey)
{
    if (!sodiumReady())
        return false;
    publicKey->resize(crypto_sign_PUBLICKEYBYTES);
    secretKey->resize(crypto_sign_SECRETKEYBYTES);
    return crypto_sign_keypair(reinterpret_cast<unsigned char*>(publicKey->data()),
                               reinterpret_cast<unsigned char*>(secretKey->data()))
           == 0;
}

} // namespace UpgradeInfo
