#pragma once
// The project rules every front end shares: the count that locks the detail
// tabs, the project's name in the program's upper case, the after-save hook.

#include <QString>

class TDataModule1;
class TShell;

namespace projects {
// Counts the projects, sets ProjekteVorhanden and tells the detail tabs.
void CountProjekte(TDataModule1 &dm);
// The current project's name, letters a to z in capitals.
QString NameUpper(TDataModule1 &dm);
// After a project row was written: commit retaining, count, log line.
void AfterPost(TDataModule1 &dm, TShell &shell);
// After a detail row was written: commit retaining and the log line
// "<what> zu Projekt <NAME> wurden gesichert".
void DetailAfterPost(TDataModule1 &dm, TShell &shell, const QString &what);
// Makes the project with this ID current and limits the detail datasets to
// it; false when there is none.
bool Select(TDataModule1 &dm, qint64 id);
}  // namespace projects
