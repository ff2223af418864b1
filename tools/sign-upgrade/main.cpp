// The maker's tool for publishing an upgrade; not part of the program users run.
//   korvani-sign-upgrade keygen DIR            writes DIR/maker.pub and DIR/maker.key (keep it secret)
//   korvani-sign-upgrade file PATH NAME        prints the "file" line for a published file
//   korvani-sign-upgrade sign INFO KEYFILE     prints INFO with its signature line
#include "upgrade/UpgradeInfo.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QTextStream>

#include <cstdio>

namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes, QFileDevice::Permissions permissions)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.setPermissions(permissions) && file.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    QTextStream out(stdout);
    if (args.size() == 3 && args.at(1) == QLatin1String("keygen")) {
        QByteArray publicKey, secretKey;
        if (!UpgradeInfo::generateKeys(&publicKey, &secretKey)
            || !writeFile(args.at(2) + QStringLiteral("/maker.pub"), publicKey.toBase64() + '\n',
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther)
            || !writeFile(args.at(2) + QStringLiteral("/maker.key"), secretKey.toBase64() + '\n',
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner))
            return 1;
        out << publicKey.toBase64() << '\n';
        return 0;
    }
    if (args.size() == 4 && args.at(1) == QLatin1String("file")) {
        const QByteArray bytes = readFile(args.at(2));
        out << "file " << QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex() << ' ' << bytes.size()
            << ' ' << args.at(3) << '\n';
        return 0;
    }
    if (args.size() == 4 && args.at(1) == QLatin1String("sign")) {
        const QByteArray signedInfo = UpgradeInfo::sign(readFile(args.at(2)), QByteArray::fromBase64(readFile(args.at(3)).trimmed()));
        if (signedInfo.isEmpty())
            return 1;
        out << signedInfo;
        return 0;
    }
    std::fputs("usage: korvani-sign-upgrade keygen DIR | file PATH NAME | sign INFO KEYFILE\n", stderr);
    return 2;
}
