#include "records/core/DetailKinds.h"

#include "platform/core/Dialogs.h"

QStringList DetailSelect(const QString &table, const QString &projectId) {
    return {QStringLiteral("select * from ") + table, QStringLiteral("where %1.projektid = '%2'").arg(table, projectId)};
}

void FilterDetailsByProjekt(TDataModule1 &dm) {
    TWaitCursor wait;
    const QString id = dm.IBDataSetProjekt->FieldByName(QStringLiteral("ID")).AsString();
    if (id.isEmpty()) return;
    for (const TDetailKind &kind : kDetailKinds) {
        TIBDataSet *ds = dm.*kind.DataSet;
        ds->Close();
        ds->SelectSQL = DetailSelect(QString::fromLatin1(kind.Table), id);
        ds->Open();
    }
}

void NotifyDetailTabs(TDataModule1 &dm) {
    for (const TDetailKind &kind : kDetailKinds) (dm.*kind.Source)->NotifyStateChange();
}
