#include "ControlesQVR.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>

namespace controlesqvr {

namespace {

class FiltroPegado : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* campo = qobject_cast<QLineEdit*>(watched);
        if (!campo)
            return false;
        switch (event->type()) {
        case QEvent::ShortcutOverride:
        case QEvent::KeyPress: {
            auto* tecla = static_cast<QKeyEvent*>(event);
            const bool pegar = tecla->matches(QKeySequence::Paste)
                               || (tecla->key() == Qt::Key_Insert && (tecla->modifiers() & Qt::ShiftModifier));
            if (pegar) {
                event->accept();
                return true;
            }
            return false;
        }
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
            // X11 pastes the selection with the middle button.
            return static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton;
        case QEvent::ContextMenu: {
            QPointer<QMenu> menu = campo->createStandardContextMenu();
            for (QAction* accion : menu->actions())
                if (accion->objectName() == QLatin1String("edit-paste"))
                    menu->removeAction(accion);
            menu->setAttribute(Qt::WA_DeleteOnClose);
            menu->setObjectName(QStringLiteral("menuContextual"));
            menu->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
            return true;
        }
        default:
            return false;
        }
    }
};

} // namespace

void rechazaPegado(QLineEdit* campo)
{
    campo->setAcceptDrops(false);
    campo->installEventFilter(new FiltroPegado(campo));
}

int anchoPromedioCaracter()
{
    static const QString letras = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return QFontMetrics(QApplication::font()).horizontalAdvance(letras) / 52;
}

void ensanchaLista(QComboBox* lista, int caracteres)
{
    lista->view()->setMinimumWidth((caracteres - 2) * anchoPromedioCaracter());
}

} // namespace controlesqvr
