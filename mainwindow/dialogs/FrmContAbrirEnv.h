#pragma once
// Sent declarations (HCAB) of the suite user's taxpayers: operation 1 opens
// the chosen submission in the declaration form to register its order number,
// operation 3 deletes that submission.

#include "DialogoSeleccionDeclaracion.h"

#include <QtGlobal>

class FrmContAbrirEnv : public DialogoSeleccionDeclaracion {
    Q_OBJECT
public:
    static constexpr qint16 kRegister = 1;
    static constexpr qint16 kDelete = 3;

    // `operation` is the main window's current operation.
    FrmContAbrirEnv(ContextoListaDeclaraciones context, qint16 operation, QWidget* parent = nullptr);

    qint16 operation() const { return operation_; }

    QString nordenElegido() const;    // the fifth column; empty when none was registered
    QString controlElegido() const;
    QString correlElegido() const;    // untrimmed

protected:
    std::optional<LoteSql::Resultado> consultaLista(QSqlError* error) const override;
    void preparaColumnas() override;
    void ejecutaAccion() override;

private:
    void registraNumeroOrden();
    void elimina();
    void muestraFallo(const FalloBase& failure);

    qint16 operation_;
};
