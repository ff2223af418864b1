#pragma once

#include <QString>

#include <stdexcept>

// The one error type of the program's commands: it carries the text shown to the user.
class CommandError final : public std::runtime_error
{
public:
    explicit CommandError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }

    const QString& message() const { return m_message; }

private:
    QString m_message;
};
