#include "catalogue/SiteAddressDialog.h"

#include "app/CommandError.h"
#include "app/MessageBox.h"
#include "catalogue/SiteCatalogue.h"
#include "catalogue/SiteTreeView.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>

namespace {

QToolButton* navigatorButton(QWidget* parent, const char* name, QStyle::StandardPixmap icon, const char* hint, int x)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setIcon(parent->style()->standardIcon(icon));
    button->setToolTip(QString::fromUtf8(hint));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus); // the Tab key skips the navigator
    button->setGeometry(x, 0, 69, 25);
    return button;
}

} // namespace

SiteAddressDialog::SiteAddressDialog(SiteCatalogue& catalogue, SiteTreeView& tree, QWidget* parent)
    : QDialog(parent)
    , m_catalogue(catalogue)
    , m_tree(tree)
{
    setObjectName(QStringLiteral("frmurledit"));
    setWindowTitle(QStringLiteral("设置网址"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(515, 229);

    auto* group = new QGroupBox(this);
    group->setGeometry(40, 32, 425, 145);
    auto* nameLabel = new QLabel(QStringLiteral("名称："), group);
    nameLabel->setObjectName(QStringLiteral("lbl1"));
    nameLabel->move(16, 33);
    m_name = new QLineEdit(group);
    m_name->setObjectName(QStringLiteral("edt1"));
    m_name->setGeometry(108, 29, 209, 21);
    m_name->setMaxLength(SiteDatabase::NameLength);
    auto* urlLabel = new QLabel(QStringLiteral("网址："), group);
    urlLabel->setObjectName(QStringLiteral("lbl2"));
    urlLabel->move(16, 68);
    m_url = new QLineEdit(group);
    m_url->setObjectName(QStringLiteral("edt2"));
    m_url->setGeometry(108, 63, 209, 21);

    auto* navigator = new QWidget(group);
    navigator->setObjectName(QStringLiteral("rzdbnvgtr1"));
    navigator->setGeometry(110, 90, 207, 25);
    m_post = navigatorButton(navigator, "postButton", QStyle::SP_DialogApplyButton, "保存", 0);
    m_cancel = navigatorButton(navigator, "cancelButton", QStyle::SP_DialogCancelButton, "取消修改", 69);
    m_refresh = navigatorButton(navigator, "refreshButton", QStyle::SP_BrowserReload, "刷新", 138);

    setTabOrder(m_url, m_name);
    setTabOrder(m_name, m_url);
    connect(m_name, &QLineEdit::textEdited, this, [this] { setEditing(true); });
    connect(m_url, &QLineEdit::textEdited, this, [this] { setEditing(true); });
    // A typed name shows in the tree once the field is left.
    connect(m_name, &QLineEdit::editingFinished, this, [this] {
        if (m_editing)
            m_catalogue.setPendingEdit(m_name->text(), m_url->text());
    });
    connect(m_post, &QToolButton::clicked, this, &SiteAddressDialog::post);
    connect(m_cancel, &QToolButton::clicked, this, &SiteAddressDialog::cancelEdit);
    connect(m_refresh, &QToolButton::clicked, this, &SiteAddressDialog::refresh);

    load();
    setEditing(m_catalogue.hasPendingEdit());
    m_url->setFocus();
}

void SiteAddressDialog::load()
{
    const std::optional<SiteRecord> record = m_catalogue.current();
    m_name->setText(record ? record->name : QString());
    m_url->setText(record ? record->url : QString());
    m_refresh->setEnabled(record.has_value());
}

void SiteAddressDialog::setEditing(bool editing)
{
    m_editing = editing;
    m_post->setEnabled(editing);
    m_cancel->setEnabled(editing);
}

void SiteAddressDialog::post()
{
    try {
        m_catalogue.store(m_name->text(), m_url->text());
        setEditing(false);
    } catch (const CommandError& error) {
        MessageBox::information(this, error.message()); // the row stays in editing
    }
}

void SiteAddressDialog::cancelEdit()
{
    m_catalogue.discardPending();
    load();
    setEditing(false);
}

void SiteAddressDialog::refresh()
{
    try {
        if (m_editing)
            m_catalogue.store(m_name->text(), m_url->text());
        setEditing(false);
        m_tree.refill();
        load();
    } catch (const CommandError& error) {
        MessageBox::information(this, error.message());
    }
}

void SiteAddressDialog::done(int result)
{
    // Closed without Post or Cancel: the change stays pending on the row.
    if (m_editing)
        m_catalogue.setPendingEdit(m_name->text(), m_url->text());
    QDialog::done(result);
}
