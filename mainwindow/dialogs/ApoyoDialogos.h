#pragma once
// Small helpers the dialogs of the main window share: sizes given in twips,
// centring on the main window, the grid model with per-column formatting, the
// pictures of the declaration states and the hourglass pointer.

#include "LoteSql.h"
#include "ModObjetos.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QPixmap>

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

// A grid model over the rows a list's statement read (all of them, in one
// go: no statement stays open behind the grid). The view is given them in
// chunks as it scrolls, so a long list shows its first rows at once. Columns
// may be shown through a text function and may carry a picture; the headers
// are the columns' names until captions are set.
class ModeloConsultaGrilla : public QAbstractTableModel {
    Q_OBJECT
public:
    using FnTexto = std::function<QString(const QVariant&)>;
    using FnImagen = std::function<QPixmap(const QVariant&)>;

    explicit ModeloConsultaGrilla(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    void fijaTextoColumna(int column, FnTexto fn) { text_[column] = std::move(fn); }
    void fijaImagenColumna(int column, FnImagen fn) { picture_[column] = std::move(fn); }

    // Shows these rows in place of the ones before; the captions stay.
    void fijaFilas(LoteSql::Resultado rows);
    // No rows, no columns, no captions.
    void clear();
    // The value as the statement read it; an invalid value outside the rows
    // given to the view.
    QVariant valor(int row, int column) const;

    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                       int role = Qt::EditRole) override;

private:
    LoteSql::Resultado rows_;
    int shown_ = 0;   // rows given to the view so far
    QHash<int, QVariant> captions_;
    std::map<int, FnTexto> text_;
    std::map<int, FnImagen> picture_;
};

// Hourglass pointer for the life of the object.
using CursorDeEspera = ModObjetos::CursorEspera;
