#pragma once
// How stored values read as text, the same for every front end.

#include <QString>
#include <QVariant>

// Text shown for a stored value (German dates, empty for NULL).
QString DisplayText(const QVariant &value);

// Memo controls show "\n" line ends; stored texts keep CR LF.
QString MemoToStored(const QString &shown);
QString StoredToMemo(const QString &stored);
