#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// The contents of one settings file: GBK bytes, sections of "key=value" lines.
// Lines are kept as their bytes so that a rewrite changes only the entry it sets;
// comments and lines before the first section survive, empty lines do not.
class IniDocument final
{
public:
    static IniDocument parse(const QByteArray& bytes);

    // Section names and keys match without regard to case; the first occurrence counts.
    std::optional<QString> value(const QString& section, const QString& key) const;
    bool hasSection(const QString& section) const { return findSection(section) != nullptr; }
    // Replaces the entry in place, or adds it after the last line of its section,
    // or adds the section after the last one.
    void setValue(const QString& section, const QString& key, const QString& value);
    // Each line ends with CR LF; each section is followed by one empty line.
    QByteArray serialize() const;

private:
    struct Line
    {
        QByteArray bytes; // stripped of blanks at both ends
        bool isEntry = false;
        qsizetype equalsAt = -1;
        QString key;
    };
    struct Section
    {
        QByteArray headerLine; // empty for a section this program added
        QByteArray nameBytes;
        QString name;
        QList<Line> lines;
    };

    Section* findSection(const QString& name);
    const Section* findSection(const QString& name) const;
    static Line makeLine(const QByteArray& stripped);
    static qsizetype findKey(const Section& section, const QString& key);

    QList<QByteArray> m_preamble;
    QList<Section> m_sections;
};
