#pragma once
// tresoro-cli: the vault from a terminal, through the same datasets, rules,
// cipher and log as the window program.

#include <QStringList>

// args without the program name; programFile: the executable's full path.
// Returns the exit status: 0 done, 1 refused, 2 bad usage or no database.
int RunCli(const QString &programFile, const QStringList &args);
