#pragma once
// Stored declarations (CAB) of the suite user's taxpayers: mode 1 opens the
// chosen one in the declaration form for modification, mode 3 deletes it.

#include "DeclarationSelectionDialog.h"

#include <QtGlobal>

class FrmContAbrir : public DeclarationSelectionDialog {
    Q_OBJECT
public:
    static constexpr qint16 kModify = 1;
    static constexpr qint16 kDelete = 3;

    FrmContAbrir(DeclarationListContext context, qint16 mode, QWidget* parent = nullptr);

    qint16 mode() const { return mode_; }

protected:
    QSqlQuery listQuery() const override;
    void setUpColumns() override;
    void runAction() override;

private:
    void modify();
    void remove();
    void showFailure(const DbFailure& failure);

    qint16 mode_;
};
