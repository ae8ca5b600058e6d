#include "records/core/ProjectRules.h"

#include "platform/core/Dialogs.h"
#include "platform/core/GermanFormat.h"
#include "records/core/DetailKinds.h"
#include "store/core/DataModule.h"
#include "store/core/Shell.h"

namespace projects {

void CountProjekte(TDataModule1 &dm) {
    qint64 count = 0;
    {
        TWaitCursor wait;
        count = dm.QueryValue(QStringLiteral("select count(id) from tblprojekt")).toLongLong();
    }
    dm.ProjekteVorhanden = count != 0;
    NotifyDetailTabs(dm);
}

QString NameUpper(TDataModule1 &dm) {
    TIBDataSet *ds = dm.IBDataSetProjekt;
    const int f = ds->FieldIndex(QStringLiteral("PROJEKTNAME"));
    return f < 0 ? QString() : de::UpperAZ(ds->CurrentValue(f).toString());
}

void AfterPost(TDataModule1 &dm, TShell &shell) {
    dm.IBTransaction.CommitRetaining();
    CountProjekte(dm);
    shell.LogLine(QStringLiteral("Projekt ") + NameUpper(dm) + QStringLiteral(" wurde gesichert"));
}

void DetailAfterPost(TDataModule1 &dm, TShell &shell, const QString &what) {
    dm.IBTransaction.CommitRetaining();
    shell.LogLine(what + QStringLiteral(" zu Projekt ") + NameUpper(dm) + QStringLiteral(" wurden gesichert"));
}

bool Select(TDataModule1 &dm, qint64 id) {
    TIBDataSet *p = dm.IBDataSetProjekt;
    const int f = p->FieldIndex(QStringLiteral("ID"));
    for (int row = 0; f >= 0 && row < p->RecordCount(); ++row) {
        if (p->RowValue(row, f).toLongLong() != id) continue;
        p->MoveTo(row);
        FilterDetailsByProjekt(dm);
        return true;
    }
    return false;
}

}  // namespace projects
