#include "records/ProjectList.h"

#include "platform/Dialogs.h"

TProjectList::TProjectList(TDataModule1 &dm, TShell &shell, QObject *parent) : QObject(parent), dm_(dm), shell_(shell) {
    dm_.IBDataSetProjekt->AfterScroll = [this] { IBDataSetProjektAfterScroll(); };
}

TProjectList::~TProjectList() { dm_.IBDataSetProjekt->AfterScroll = nullptr; }

QStringList TProjectList::DetailSelect(const QString &table, const QString &projectId) {
    return {QStringLiteral("select * from ") + table,
            QStringLiteral("where %1.projektid = '%2'").arg(table, projectId)};
}

void TProjectList::CountProjekte() {
    qint64 count = 0;
    {
        TWaitCursor wait;
        count = dm_.QueryValue(QStringLiteral("select count(id) from tblprojekt")).toLongLong();
    }
    dm_.ProjekteVorhanden = count != 0;
    for (TDataSource *s : {dm_.DataSourceEmail, dm_.DataSourceZugangsdaten, dm_.DataSourceTelefon,
                           dm_.DataSourceTermine, dm_.DataSourceToDo})
        s->NotifyStateChange();
}

void TProjectList::FilterDetailsByProjekt() {
    TWaitCursor wait;
    const QString id = dm_.IBDataSetProjekt->FieldByName(QStringLiteral("ID")).AsString();
    if (id.isEmpty()) return;
    if (ClearScreenshot) ClearScreenshot();
    const std::pair<TIBDataSet *, const char *> details[] = {{dm_.IBDataSetEmail, "tblemail"},
                                                             {dm_.IBDataSetTelefon, "tbltelefon"},
                                                             {dm_.IBDataSetZugangsdaten, "tblZugangsdaten"},
                                                             {dm_.IBDataSetToDo, "tbltodo"},
                                                             {dm_.IBDataSetTermine, "tblTermine"}};
    for (const auto &[ds, table] : details) {
        ds->Close();
        ds->SelectSQL = DetailSelect(QString::fromLatin1(table), id);
        ds->Open();
    }
}

void TProjectList::IBDataSetProjektAfterScroll() { FilterDetailsByProjekt(); }
