#pragma once

#include <QFileDevice>
#include <QString>

// A settings file beside the program (cfg.ini, plugin/51la.ini). Every read sees the file as
// it is now; every write changes one entry and replaces the whole file at once.
class IniStore final
{
public:
    void setPath(const QString& path) { m_path = path; }
    const QString& path() const { return m_path; }
    // Permissions of a file the store creates; an existing file keeps its own.
    void setNewFilePermissions(QFileDevice::Permissions permissions) { m_newFilePermissions = permissions; }

    // The default when the file, the section or the key does not exist.
    // Throws CommandError when the file exists but cannot be read.
    QString readString(const QString& section, const QString& key, const QString& defaultValue) const;
    // Whether the file has the section (names match without regard to case).
    bool hasSection(const QString& section) const;
    // Throws CommandError when the file cannot be read or written; the old file then stays.
    void writeString(const QString& section, const QString& key, const QString& value);

private:
    QByteArray readBytes() const;

    QString m_path;
    QFileDevice::Permissions m_newFilePermissions = QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                    | QFileDevice::ReadGroup | QFileDevice::ReadOther;
};
