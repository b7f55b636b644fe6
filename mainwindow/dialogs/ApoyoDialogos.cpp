#include "ApoyoDialogos.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHeaderView>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QTableView>
#include <QWidget>

using ModObjetos::twipsAPixelesX;
using ModObjetos::twipsAPixelesY;

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

QVariant ModeloConsultaGrilla::data(const QModelIndex& index, int role) const
{
    if (role == Qt::DisplayRole || role == Qt::DecorationRole) {
        const auto text = text_.find(index.column());
        const auto picture = picture_.find(index.column());
        if (role == Qt::DisplayRole && text != text_.end())
            return text->second(QSqlQueryModel::data(index, Qt::DisplayRole));
        if (role == Qt::DecorationRole && picture != picture_.end()) {
            const QPixmap pm = picture->second(QSqlQueryModel::data(index, Qt::DisplayRole));
            return pm.isNull() ? QVariant() : QVariant(pm);
        }
    }
    return QSqlQueryModel::data(index, role);
}
