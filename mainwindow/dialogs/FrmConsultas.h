#pragma once
// Read-only look-up of a reference list of PARAM: the banks that take
// payments (operation 1) or the UIT values by date, newest first (operation 3).
// Any other operation shows an empty grid.

#include <QDialog>
#include <QSqlDatabase>
#include <QtGlobal>

class QPushButton;
class QTableView;
class ModeloConsultaGrilla;

class FrmConsultas : public QDialog {
    Q_OBJECT
public:
    static constexpr qint16 kBanks = 1;
    static constexpr qint16 kUit = 3;

    // `operation` is the main window's current operation.
    FrmConsultas(QSqlDatabase db, qint16 operation, QWidget* parent = nullptr);

    QTableView* grid() const { return grdBancos_; }

protected:
    bool event(QEvent* event) override;

private:
    void onSalir();

    ModeloConsultaGrilla* model_;
    QTableView* grdBancos_;
    QPushButton* cmdSalir_;
};
