#pragma once
// Sent declarations (HCAB) of the suite user's taxpayers: operation 1 opens
// the chosen submission in the declaration form to register its order number,
// operation 3 deletes that submission.

#include "DeclarationSelectionDialog.h"

#include <QtGlobal>

class FrmContAbrirEnv : public DeclarationSelectionDialog {
    Q_OBJECT
public:
    static constexpr qint16 kRegister = 1;
    static constexpr qint16 kDelete = 3;

    // `operation` is the main window's current operation.
    FrmContAbrirEnv(DeclarationListContext context, qint16 operation, QWidget* parent = nullptr);

    qint16 operation() const { return operation_; }

    QString selectedNorden() const;    // the fifth column; empty when none was registered
    QString selectedControl() const;
    QString selectedCorrel() const;    // untrimmed

protected:
    QSqlQuery listQuery() const override;
    void setUpColumns() override;
    void runAction() override;

private:
    void registerOrderNumber();
    void remove();
    void showFailure(const DbFailure& failure);

    qint16 operation_;
};
