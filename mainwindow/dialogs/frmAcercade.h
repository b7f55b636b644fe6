#pragma once
// The about box: product, form title and version.

#include <QDialog>

class QLineEdit;
class QPushButton;

class frmAcercade : public QDialog {
    Q_OBJECT
public:
    explicit frmAcercade(QWidget* parent = nullptr);

private:
    QLineEdit* txtVersion_;
    QPushButton* cmdAceptar_;
};
