#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// The upgrade information the maker publishes: a signed text file.
//
//   korvani-upgrade 1
//   version 1.5
//   sequence 7
//   notes <release notes, UTF-8, percent-encoded>
//   file <sha256 hex> <size in bytes> <path relative to the program folder>
//   ...
//   signature <base64 of the Ed25519 signature of every byte before this line>
namespace UpgradeInfo {

inline constexpr qint64 MaxInfoBytes = 64 * 1024;

struct File
{
    QByteArray sha256; // hex, lower case
    qint64 size = 0;
    QString path;
};

struct Info
{
    QString version;
    qint64 sequence = 0;
    QString notes;
    QList<File> files;
};

// The verified information, or nothing when it is malformed, too large, unsigned, signed by
// another key, or lists a path that leaves the program folder.
std::optional<Info> parse(const QByteArray& bytes, const QByteArray& publicKey);

// Compares version numbers part by part between the dots: "1.10" > "1.4", "1.4" == "1.4.0".
int compareVersions(const QString& a, const QString& b);

// For the maker's tool and the tests.
QByteArray sign(const QByteArray& unsignedInfo, const QByteArray& secretKey);
bool generateKeys(QByteArray* publicKey, QByteArray* secretKey);
bool isSafePath(const QString& path);

} // namespace UpgradeInfo
