#include "store/core/Workflow.h"

#include "store/core/Enabling.h"

#include "platform/core/Dialogs.h"
#include "platform/core/GermanFormat.h"
#include "store/core/FieldText.h"

TDetailEnabling DetailEnabling(TDataSetState state, bool projekteVorhanden) {
    return DetailEnabling(enabling::kContacts.Row(state, projekteVorhanden));
}

TDetailEnabling DetailEnabling(const TEnabling &row) {
    TDetailEnabling e;
    e.Touch = row.Touch;
    e.FieldsOpen = row.FieldsOpen;
    e.Insert = row.Insert;
    e.Edit = row.Edit;
    e.Delete = row.Delete;
    if (row.Save != TSaveRule::Leave) e.Save = row.Save == TSaveRule::Enable;
    return e;
}

bool DeleteCurrentRecord(TIBDataSet &ds, TIBTransaction &transaction, const QString &keyField, const TDeleteTexts &texts,
                         TShell &shell, const std::function<void()> &afterCommit) {
    const int f = ds.FieldIndex(keyField);
    const QString key = f < 0 ? QString() : de::UpperAZ(DisplayText(ds.CurrentValue(f)));
    if (key.isEmpty()) {
        shell.StatusMessage(texts.NothingToDelete);
        return false;
    }
    if (!TDialogs::Current().Confirm(texts.Question + key + QStringLiteral(" gelöscht werden?"))) {
        shell.StatusMessage(QStringLiteral("Löschaktion wurde abgebrochen"));
        return false;
    }
    ds.Delete();
    transaction.CommitRetaining();
    if (afterCommit) afterCommit();
    shell.LogLine(texts.LogPrefix + key + texts.LogSuffix);
    shell.StatusMessage(texts.StatusPrefix + key + texts.StatusSuffix);
    return true;
}
