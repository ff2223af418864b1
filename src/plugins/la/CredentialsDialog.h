#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

// Asks for a site's 51La ID and password and stores them in 51la.ini. "确定" writes both keys
// and closes; "取消", the close box, Enter and Esc write nothing (Enter and Esc do nothing).
class CredentialsDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CredentialsDialog)

public:
    CredentialsDialog(const QString& siteName, const QString& credentialsFile, QWidget* parent = nullptr);

    // After "确定": the trimmed texts that were stored.
    QString siteId() const { return m_siteId; }
    QString password() const { return m_password; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void confirm();

    QString m_credentialsFile;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_id = nullptr;
    QLineEdit* m_passwordEdit = nullptr;
    QString m_siteId;
    QString m_password;
};
