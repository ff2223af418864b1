#include "plugins/la/CredentialsDialog.h"

#include "app/CommandError.h"
#include "app/IniStore.h"
#include "app/MessageBox.h"
#include "plugins/la/LaLogin.h"
#include "plugins/la/LaTexts.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

QLabel* label(QWidget* parent, const char* name, const char* text, const QRect& geometry)
{
    auto* result = new QLabel(QString::fromUtf8(text), parent);
    result->setObjectName(QLatin1String(name));
    result->setGeometry(geometry);
    return result;
}

QLineEdit* edit(QWidget* parent, const char* name, const QRect& geometry)
{
    auto* result = new QLineEdit(parent);
    result->setObjectName(QLatin1String(name));
    result->setGeometry(geometry);
    return result;
}

QPushButton* button(QWidget* parent, const char* name, const char* text, const QRect& geometry)
{
    auto* result = new QPushButton(QString::fromUtf8(text), parent);
    result->setObjectName(QLatin1String(name));
    result->setGeometry(geometry);
    result->setAutoDefault(false); // Enter presses neither button
    return result;
}

} // namespace

CredentialsDialog::CredentialsDialog(const QString& siteName, const QString& credentialsFile, QWidget* parent)
    : QDialog(parent)
    , m_credentialsFile(credentialsFile)
{
    setObjectName(QStringLiteral("frmLa"));
    setWindowTitle(QString::fromUtf8(LaTexts::DialogTitle));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(476, 227);

    auto* group = new QGroupBox(this);
    group->setObjectName(QStringLiteral("rzgrpbx1"));
    group->setGeometry(24, 32, 425, 153);
    label(group, "RzLabel1", LaTexts::SiteName, QRect(16, 29, 60, 13));
    m_name = edit(group, "edt1", QRect(96, 24, 179, 21));
    m_name->setReadOnly(true);
    m_name->setText(siteName);
    label(group, "lbl1", LaTexts::SiteId, QRect(16, 64, 46, 13));
    m_id = edit(group, "edt2", QRect(96, 59, 179, 21));
    label(group, "lbl2", LaTexts::Password, QRect(16, 99, 36, 13));
    m_passwordEdit = edit(group, "edt3", QRect(96, 95, 179, 21)); // shown in clear, as typed
    QPushButton* ok = button(group, "btn1", LaTexts::Ok, QRect(96, 122, 75, 25));
    QPushButton* cancel = button(group, "btn2", LaTexts::Cancel, QRect(200, 122, 75, 25));

    setTabOrder(m_id, m_passwordEdit);
    setTabOrder(m_passwordEdit, ok);
    setTabOrder(ok, m_name);
    setTabOrder(m_name, cancel);
    connect(ok, &QPushButton::clicked, this, &CredentialsDialog::confirm);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    m_id->setFocus();
}

void CredentialsDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CredentialsDialog::confirm()
{
    const QString section = LaLogin::trimmed(m_name->text());
    const QString id = LaLogin::trimmed(m_id->text());
    const QString password = LaLogin::trimmed(m_passwordEdit->text());
    IniStore store;
    store.setPath(m_credentialsFile);
    store.setNewFilePermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner); // it holds passwords
    try {
        store.writeString(section, QStringLiteral("laid"), id);
        store.writeString(section, QStringLiteral("lapassword"), password);
    } catch (const CommandError& error) {
        MessageBox::information(this, error.message()); // the dialog stays open
        return;
    }
    m_siteId = id;
    m_password = password;
    accept();
}
