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
void resizeInTwips(QWidget* window, int widthTwips, int heightTwips);

// left = (main width - window width) / 2, top = (main height - window height) / 2,
// measured from the main window (the parent's top-level window); on the screen
// when there is no parent.
void centreOnMainWindow(QWidget* window);

// Column widths of a grid, in twips, in column order.
void setColumnWidthsInTwips(QTableView* grid, std::initializer_list<int> widthsTwips);

// Read-only grid grid behaviour: whole rows, one at a time, no editing.
void setUpReadOnlyGrid(QTableView* grid);

// Picture for a declaration state: a green check for 0 (consistent), a red
// cross for 9 (with inconsistencies); a null picture for any other value.
QPixmap statePicture(int estado, int size);

// A query model whose columns may be shown through a text function and may
// carry a picture; the rows are still fetched lazily by the view.
class GridQueryModel : public QSqlQueryModel {
public:
    using TextFn = std::function<QString(const QVariant&)>;
    using PictureFn = std::function<QPixmap(const QVariant&)>;

    explicit GridQueryModel(QObject* parent = nullptr) : QSqlQueryModel(parent) {}

    void setColumnText(int column, TextFn fn) { text_[column] = std::move(fn); }
    void setColumnPicture(int column, PictureFn fn) { picture_[column] = std::move(fn); }

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    std::map<int, TextFn> text_;
    std::map<int, PictureFn> picture_;
};

// Hourglass pointer for the life of the object.
using WaitCursor = ModObjetos::CursorEspera;
