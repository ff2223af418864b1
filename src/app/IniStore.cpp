#include "app/IniStore.h"

#include "app/CommandError.h"
#include "app/IniDocument.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

namespace {

constexpr int LockWaitMs = 5000;

QString nativePath(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

[[noreturn]] void cannotCreate(const QString& path, const QString& reason)
{
    throw CommandError(QStringLiteral("Cannot create file \"%1\". %2").arg(nativePath(path), reason));
}

[[noreturn]] void cannotOpen(const QString& path, const QString& reason)
{
    throw CommandError(QStringLiteral("Cannot open file \"%1\". %2").arg(nativePath(path), reason));
}

} // namespace

QByteArray IniStore::readBytes() const
{
    const QFileInfo info(m_path);
    if (!info.exists())
        return {};
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        cannotOpen(m_path, file.errorString());
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        cannotOpen(m_path, file.errorString());
    return bytes;
}

QString IniStore::readString(const QString& section, const QString& key, const QString& defaultValue) const
{
    return IniDocument::parse(readBytes()).value(section, key).value_or(defaultValue);
}

bool IniStore::hasSection(const QString& section) const
{
    return IniDocument::parse(readBytes()).hasSection(section);
}

void IniStore::writeString(const QString& section, const QString& key, const QString& value)
{
    const QFileInfo info(m_path);
    if (!info.absoluteDir().exists())
        cannotCreate(m_path, QString::fromLocal8Bit(std::strerror(ENOENT)));
    if (info.isDir())
        cannotCreate(m_path, QString::fromLocal8Bit(std::strerror(EISDIR)));

    // Two running copies may write the same file: the read-modify-write runs under a lock.
    QLockFile lock(m_path + QStringLiteral(".lock"));
    if (!lock.tryLock(LockWaitMs)) {
        const QString reason = lock.error() == QLockFile::LockFailedError
                                   ? QStringLiteral("The file is in use by another program.")
                                   : QString::fromLocal8Bit(std::strerror(EACCES));
        cannotCreate(m_path, reason);
    }

    IniDocument document = IniDocument::parse(readBytes());
    document.setValue(section, key, value);

    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        cannotCreate(m_path, file.errorString());
    if (!info.exists())
        file.setPermissions(m_newFilePermissions);
    file.write(document.serialize());
    if (!file.commit())
        cannotCreate(m_path, file.errorString());
}
