#pragma once
// What the three Frm834 files share: the asset-page scroll positions and the
// year field's text. Only Frm834*.cpp include it.

#include <QLineEdit>
#include <QString>

namespace frm834 {

// The asset-page scroll bar: position 1 shows the current assets.
inline constexpr int kPaginaCorriente = 1;
inline constexpr int kPaginaNoCorriente = 15;

// Text the year field shows; the mask's blanks are "_".
inline QString textoPeriodo(const QLineEdit* campo)
{
    return campo->displayText();
}

} // namespace frm834
