#pragma once
// Small helpers the dialogs of the main window share: sizes given in twips,
// centring on the main window, the grid model with per-column formatting, the
// pictures of the declaration states and the hourglass pointer.

#include "ModObjetos.h"

#include <QPixmap>
#include <QSqlQueryModel>

#include <functional>
#include <map>

class QWidget;
class QTableView;

// Resizes the window to width x height twips.
void redimensionaEnTwips(QWidget* window, int widthTwips, int heightTwips);

// left = (main width - window width) / 2, top = (main height - window height) / 2,
// measured from the main window (the parent's top-level window); on the screen
// when there is no parent.
void centraEnVentanaPrincipal(QWidget* window);

// Column widths of a grid, in twips, in column order.
void fijaAnchosColumnasEnTwips(QTableView* grid, std::initializer_list<int> widthsTwips);

// Read-only grid grid behaviour: whole rows, one at a time, no editing.
void preparaGrillaSoloLectura(QTableView* grid);

// Picture for a declaration state: a green check for 0 (consistent), a red
// cross for 9 (with inconsistencies); a null picture for any other value.
QPixmap imagenEstado(int estado, int size);

// A query model whose columns may be shown through a text function and may
// carry a picture; the rows are still fetched lazily by the view.
class ModeloConsultaGrilla : public QSqlQueryModel {
public:
    using FnTexto = std::function<QString(const QVariant&)>;
    using FnImagen = std::function<QPixmap(const QVariant&)>;

    explicit ModeloConsultaGrilla(QObject* parent = nullptr) : QSqlQueryModel(parent) {}

    void fijaTextoColumna(int column, FnTexto fn) { text_[column] = std::move(fn); }
    void fijaImagenColumna(int column, FnImagen fn) { picture_[column] = std::move(fn); }

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    std::map<int, FnTexto> text_;
    std::map<int, FnImagen> picture_;
};

// Hourglass pointer for the life of the object.
using CursorDeEspera = ModObjetos::CursorEspera;
