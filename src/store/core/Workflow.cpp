#include "store/core/Workflow.h"

#include "platform/core/Dialogs.h"
#include "platform/core/GermanFormat.h"
#include "store/core/FieldText.h"

TDetailEnabling DetailEnabling(TDataSetState state, bool projekteVorhanden) {
    TDetailEnabling e;
    if (!projekteVorhanden) {
        // The no-project rule, whatever the state.
        e.Touch = true;
        return e;
    }
    switch (state) {
    case TDataSetState::dsInactive: return e;
    case TDataSetState::dsBrowse:
        e.Touch = true;
        e.Insert = e.Edit = e.Delete = true;
        return e;
    case TDataSetState::dsEdit:
        e.Touch = true;
        e.FieldsOpen = true;
        e.Insert = e.Delete = true;
        e.Save = true;
        return e;
    case TDataSetState::dsInsert:
        e.Touch = true;
        e.FieldsOpen = true;
        e.Insert = e.Edit = true;
        e.Save = true;
        return e;
    }
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
