#pragma once
// Rules every detail tab's state handler shares: which input fields are
// open and which of the tab's buttons are enabled, for a dataset state and
// the flag that tells whether any project exists.

#include <functional>
#include <optional>

#include "store/core/DataSet.h"
#include "store/core/Shell.h"

struct TDetailEnabling {
    bool Touch = false;        // false: the handler leaves everything as it is
    bool FieldsOpen = false;   // open or locked look of the input fields
    bool Insert = false, Edit = false, Delete = false;
    std::optional<bool> Save;  // the shared save button; unset: unchanged
};

TDetailEnabling DetailEnabling(TDataSetState state, bool projekteVorhanden);
// A row of an enabling table in the handlers' form.
struct TEnabling;
TDetailEnabling DetailEnabling(const TEnabling &row);

// The texts of one record kind's delete; the key text goes between prefix
// and suffix.
struct TDeleteTexts {
    QString NothingToDelete;  // status message when the key is empty
    QString Question;         // followed by the key and " gelöscht werden?"
    QString LogPrefix, LogSuffix;
    QString StatusPrefix, StatusSuffix;
};

// The common shape of every delete: the key field of the current record in
// upper case, nothing to delete when it is empty, the question, then the row
// removed at once (a new record is discarded instead), commit retaining,
// `afterCommit`, log line and status message. True when a record went.
// Database failures propagate to the caller.
bool DeleteCurrentRecord(TIBDataSet &ds, TIBTransaction &transaction, const QString &keyField, const TDeleteTexts &texts,
                         TShell &shell, const std::function<void()> &afterCommit = {});
