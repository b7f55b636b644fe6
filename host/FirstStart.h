#pragma once
// A user without a suite: the folder dialog that makes one the user's own.

#include <QString>

namespace qvrhost {

// Where a new user's suite goes unless another folder is chosen: ~/QVR.
QString defaultSuiteFolder();

// Asks for the suite's folder (defaultSuiteFolder() chosen beforehand), creates
// the suite there unless it holds one already and writes its KV000.INI to
// `userIni`. With `confirm` a question comes first, for a start that found no
// suite. Returns true when `userIni` now names the chosen suite; false when
// the user gave up or after the error was shown.
bool chooseUserSuite(const QString& userIni, bool confirm);

} // namespace qvrhost
