#pragma once

#include <QDialog>

class QLineEdit;
class QToolButton;
class SiteCatalogue;
class SiteTreeView;

// Edits name and address of the current site. Post stores, Cancel discards, Refresh stores a
// pending change and re-reads the table; closing the dialog otherwise leaves a change pending
// on the row, to be stored when the cursor moves on.
class SiteAddressDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SiteAddressDialog)

public:
    SiteAddressDialog(SiteCatalogue& catalogue, SiteTreeView& tree, QWidget* parent = nullptr);

    bool isEditing() const { return m_editing; }

private:
    void load();
    void setEditing(bool editing);
    void post();
    void cancelEdit();
    void refresh();
    void done(int result) override;

    SiteCatalogue& m_catalogue;
    SiteTreeView& m_tree;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_url = nullptr;
    QToolButton* m_post = nullptr;
    QToolButton* m_cancel = nullptr;
    QToolButton* m_refresh = nullptr;
    bool m_editing = false;
};
