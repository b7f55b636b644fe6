#pragma once
// A user without a suite: the folder dialog that makes one the user's own.
// A suite that cannot be opened: why, and what can mend it.

#include "ConfiguracionIntegrador.h"

#include <QString>

#include <optional>

namespace qvrhost {

// Where a new user's suite goes unless another folder is chosen: ~/QVR.
QString carpetaSuitePredeterminada();

// Asks for the suite's folder (carpetaSuitePredeterminada() chosen beforehand), creates
// the suite there unless it holds one already and writes its KV000.INI to
// `userIni`. With `confirm` a question comes first, for a start that found no
// suite. Returns true when `userIni` now names the chosen suite; false when
// the user gave up or after the error was shown.
bool eligeSuiteUsuario(const QString& userIni, bool confirm);

// Opens the suite `iniPath` names under `connection`, as the module's programs
// open it. When it cannot, the reason goes to the standard error and to the
// "Error de Conección" box the programs show (same numbers and texts); when the
// suite folder or its database is missing, the user may then locate the moved
// folder or create a new suite, and the suite is opened again. Returns the
// settings of the open suite, or nothing when it stays closed.
std::optional<ConfiguracionIntegrador> abreSuiteUsuario(const QString& iniPath, const QString& connection);

} // namespace qvrhost
