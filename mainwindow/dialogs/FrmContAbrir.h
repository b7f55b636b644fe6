#pragma once
// Stored declarations (CAB) of the suite user's taxpayers: mode 1 opens the
// chosen one in the declaration form for modification, mode 3 deletes it.

#include "DialogoSeleccionDeclaracion.h"

#include <QtGlobal>

class FrmContAbrir : public DialogoSeleccionDeclaracion {
    Q_OBJECT
public:
    static constexpr qint16 kModify = 1;
    static constexpr qint16 kDelete = 3;

    FrmContAbrir(ContextoListaDeclaraciones context, qint16 mode, QWidget* parent = nullptr);

    qint16 mode() const { return mode_; }

protected:
    std::optional<LoteSql::Resultado> consultaLista(QSqlError* error) const override;
    void preparaColumnas() override;
    void ejecutaAccion() override;

private:
    void modify();
    void elimina();
    void muestraFallo(const FalloBase& failure);

    qint16 mode_;
};
