#pragma once
// The Log tab's text area as the activity log's view.

class QPlainTextEdit;
class THotLog;

// Attaches `memo` to the log; the link goes with the memo.
void AttachLogMemo(THotLog &log, QPlainTextEdit *memo);
