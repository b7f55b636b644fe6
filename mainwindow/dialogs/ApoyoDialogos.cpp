#include "ApoyoDialogos.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHeaderView>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QTableView>
#include <QWidget>

#include <algorithm>

using ModObjetos::twipsAPixelesX;
using ModObjetos::twipsAPixelesY;

namespace {
// Rows given to the view at a time, as many as a query model fetches.
constexpr int kFilasPorTanda = 256;
}

void redimensionaEnTwips(QWidget* window, int widthTwips, int heightTwips)
{
    window->resize(twipsAPixelesX(widthTwips, window), twipsAPixelesY(heightTwips, window));
}

void centraEnVentanaPrincipal(QWidget* window)
{
    QRect area;
    if (const QWidget* parent = window->parentWidget())
        area = parent->window()->frameGeometry();
    else if (const QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isEmpty())
        return;
    window->move(area.x() + (area.width() - window->width()) / 2, area.y() + (area.height() - window->height()) / 2);
}

void fijaAnchosColumnasEnTwips(QTableView* grid, std::initializer_list<int> widthsTwips)
{
    int column = 0;
    for (int twips : widthsTwips)
        grid->setColumnWidth(column++, twipsAPixelesX(twips, grid));
}

void preparaGrillaSoloLectura(QTableView* grid)
{
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setAlternatingRowColors(false);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->horizontalHeader()->setHighlightSections(false);
}

QPixmap imagenEstado(int estado, int size)
{
    if (estado != 0 && estado != 9)
        return {};
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    QPen pen(estado == 0 ? QColor(0, 150, 40) : QColor(200, 20, 20), s / 6.0, Qt::SolidLine, Qt::RoundCap,
             Qt::RoundJoin);
    p.setPen(pen);
    if (estado == 0) {
        QPainterPath check;
        check.moveTo(s * 0.18, s * 0.55);
        check.lineTo(s * 0.42, s * 0.78);
        check.lineTo(s * 0.84, s * 0.22);
        p.drawPath(check);
    } else {
        p.drawLine(QPointF(s * 0.22, s * 0.22), QPointF(s * 0.78, s * 0.78));
        p.drawLine(QPointF(s * 0.78, s * 0.22), QPointF(s * 0.22, s * 0.78));
    }
    return pixmap;
}

void ModeloConsultaGrilla::fijaFilas(LoteSql::Resultado rows)
{
    beginResetModel();
    rows_ = std::move(rows);
    shown_ = int(std::min<qsizetype>(rows_.filas.size(), kFilasPorTanda));
    endResetModel();
}

void ModeloConsultaGrilla::clear()
{
    beginResetModel();
    rows_ = {};
    shown_ = 0;
    captions_.clear();
    endResetModel();
}

QVariant ModeloConsultaGrilla::valor(int row, int column) const
{
    if (row < 0 || row >= shown_ || column < 0 || column >= rows_.filas[row].size())
        return {};
    return rows_.filas[row][column];
}

int ModeloConsultaGrilla::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : shown_;
}

bool ModeloConsultaGrilla::canFetchMore(const QModelIndex& parent) const
{
    return !parent.isValid() && shown_ < rows_.filas.size();
}

void ModeloConsultaGrilla::fetchMore(const QModelIndex& parent)
{
    if (!canFetchMore(parent))
        return;
    const int last = int(std::min<qsizetype>(rows_.filas.size(), shown_ + kFilasPorTanda)) - 1;
    beginInsertRows(QModelIndex(), shown_, last);
    shown_ = last + 1;
    endInsertRows();
}

int ModeloConsultaGrilla::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(rows_.columnas.size());
}

QVariant ModeloConsultaGrilla::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const QVariant value = valor(index.row(), index.column());
    if (role == Qt::DisplayRole) {
        const auto text = text_.find(index.column());
        return text != text_.end() ? QVariant(text->second(value)) : value;
    }
    if (role == Qt::EditRole)
        return value;
    if (role == Qt::DecorationRole) {
        const auto picture = picture_.find(index.column());
        if (picture == picture_.end())
            return {};
        const QPixmap pm = picture->second(value);
        return pm.isNull() ? QVariant() : QVariant(pm);
    }
    return {};
}

QVariant ModeloConsultaGrilla::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole) {
        const auto caption = captions_.find(section);
        if (caption != captions_.end())
            return *caption;
        if (section >= 0 && section < rows_.columnas.size())
            return rows_.columnas[section];
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

bool ModeloConsultaGrilla::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role)
{
    if (orientation != Qt::Horizontal || (role != Qt::DisplayRole && role != Qt::EditRole) || section < 0)
        return false;
    captions_[section] = value;
    emit headerDataChanged(orientation, section, section);
    return true;
}
