#pragma once
// The suite's payment-method control: cheque or cash, the bank and the cheque
// number, and the amount it is told. The declaration form uses its five
// properties only; cambiado() tells it the user changed one.

#include "Declaracion834.h"

#include <QGroupBox>
#include <QList>
#include <QString>
#include <utility>

class QComboBox;
class QLineEdit;
class QRadioButton;

class FormaDePagoQVR : public QGroupBox {
    Q_OBJECT
    Q_PROPERTY(QString importe READ importe WRITE setImporte)
    Q_PROPERTY(QString formapago READ formapago WRITE setFormapago)
    Q_PROPERTY(QString banco READ banco WRITE setBanco)
    Q_PROPERTY(QString numcheque READ numcheque WRITE setNumcheque)
    Q_PROPERTY(bool habilitado READ habilitado WRITE setHabilitado)
public:
    explicit FormaDePagoQVR(QWidget* parent = nullptr);

    // The banks offered for a cheque: code and name.
    void setBancos(const QList<std::pair<QString, QString>>& bancos);

    QString importe() const { return valor_.importe; }
    QString formapago() const { return valor_.formapago; }   // "C" cheque, "E" cash, "X" not chosen
    QString banco() const { return valor_.banco; }           // "" when none is chosen
    QString numcheque() const { return valor_.numcheque; }
    bool habilitado() const { return valor_.habilitado; }

    void setImporte(const QString& v);
    void setFormapago(const QString& v);
    void setBanco(const QString& v);
    void setNumcheque(const QString& v);
    void setHabilitado(bool v);

    // All five at once; setting never emits cambiado().
    FormaDePago valor() const { return valor_; }
    void setValor(const FormaDePago& valor);

    QRadioButton* optCheque() const { return optCheque_; }
    QRadioButton* optEfectivo() const { return optEfectivo_; }
    QComboBox* cboBanco() const { return cboBanco_; }
    QLineEdit* txtNumCheque() const { return txtNumCheque_; }

signals:
    // The user chose a payment form or bank or typed a cheque number.
    void cambiado();

private:
    void muestra();
    void alElegir();

    FormaDePago valor_;
    QLineEdit* txtImporte_;
    QRadioButton* optCheque_;
    QRadioButton* optEfectivo_;
    QComboBox* cboBanco_;
    QLineEdit* txtNumCheque_;
    bool mostrando_ = false;
};
