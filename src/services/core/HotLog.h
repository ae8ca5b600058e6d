#pragma once
// The activity log THotLog: one object for the whole run. Callers on the
// user-interface thread hand it texts and never wait for the disk; three
// worker threads expand the tags (THotLogParser), append the lines to the
// log file (THotLogWriter) and show them in the Log tab (THotLogVisual), in
// the order the texts were handed in.

#include <QString>
#include <QStringList>
#include <exception>
#include <memory>

#include "platform/core/VersionInfo.h"
#include "services/core/HotLogFileDef.h"

class THotLogView;

class THotLog {
public:
    // programFile: full path of the program file, the log goes beside it as
    // <name without extension>.log; params: the command-line parameters
    // without the program itself, written into the header.
    explicit THotLog(const QString &programFile, const QStringList &params = {},
                     const VersionInfo &version = VersionInfo::Program());
    // Switches feedback off, then writes everything queued before (the
    // footer included), closes the file and ends the workers.
    ~THotLog();
    THotLog(const THotLog &) = delete;
    THotLog &operator=(const THotLog &) = delete;

    // The file rules; they take effect with StartWriters.
    THLFileDef &FileDef();
    const THLFileDef &FileDef() const;

    // Template lines of the blocks written at start and at the end; they
    // hold the program's standard blocks from the start.
    QStringList HeaderTemplate;
    QStringList FooterTemplate;

    // Opens the log file (waits until the writer has it open or has given
    // up) and starts the size check. Only the first call counts.
    void StartWriters();

    // Queue a text (tags expanded, CR LF added), a template (written as one
    // batch) or an error block. Nothing happens while the log does not run.
    void WriteLine(const QString &text);
    void WriteTemplate(const QStringList &lines);
    void WriteError(const std::exception &error, int code);
    void WriteError(const QString &message, int code);

    // On-screen feedback into the Log tab's text area; the area may be
    // destroyed while attached.
    void AttachView(THotLogView *view);
    void DetachMemo();
    // When on, every later update leaves the last line visible.
    void SetAutoScroll(bool on);

    // The handler of the one-second size check: asks the writer to roll over
    // once the current file has reached MaxSize.
    void SizeCheckTimerTimer();

    bool WriterRunning() const;
    // The file written now: the .log file, after a roll-over a generation.
    QString FileName() const;

    // The five lines of an error block (not tag-expanded).
    static QStringList ErrorBlock(const QString &message, int code);
    static QStringList StandardHeaderTemplate();
    static QStringList StandardFooterTemplate();

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

// Writes a log line: the current date and time in German form, ": " and the
// message.
void LogLine(THotLog &log, const QString &message);
