#pragma once
// "Asistente de Cálculo de Casilla 105": the ten deductions that make up box
// 105. "&Aceptar" stores them at once as rows 546 to 555 of the declaration
// and hands the total back; a sent declaration's detail is only shown.

#include "Dinero.h"

#include <QDialog>
#include <QSqlDatabase>
#include <QString>
#include <QtGlobal>
#include <array>

class QLineEdit;
class QPushButton;

class FrmAnexo105 : public QDialog {
    Q_OBJECT
public:
    static const QString kCaption;   // "Asistente de Cálculo de Casilla 105"
    static constexpr int kMontos = 10;

    explicit FrmAnexo105(QSqlDatabase db, QWidget* parent = nullptr);

    // Set by the opener before showing.
    QString sRuc;
    QString sPeriodo;            // the exercise of the declaration
    QString sFormulario = QStringLiteral("0834");
    qint16 iExistente = 0;       // the form edits a stored declaration
    qint16 iEnviada = 0;         // a sent declaration: view only
    QString sCorrel;

    // Handed back: the total accepted (0 unless "&Aceptar" was used).
    Dinero total() const { return total_; }

    // Reads the stored detail into the fields (run once, when first shown).
    void cargar();

    QLineEdit* txtMonto(int indice) const { return txtMonto_[indice]; }
    QLineEdit* txtTotal() const { return txtTotal_; }
    QPushButton* cmdGrabar() const { return cmdGrabar_; }
    QPushButton* cmdCancelar() const { return cmdCancelar_; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CmdGrabar_Click();
    void cmdCancelar_Click();
    void muestraError(const QString& error);
    void recalculaTotal();
    int indiceDe(QObject* campo) const;

    QSqlDatabase db_;
    std::array<QLineEdit*, kMontos> txtMonto_{};
    QLineEdit* txtTotal_;
    QPushButton* cmdGrabar_;
    QPushButton* cmdCancelar_;
    Dinero total_;
    bool cargado_ = false;
};
