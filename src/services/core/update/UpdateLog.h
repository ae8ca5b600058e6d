#pragma once
// The engine's own log "WUPDATE.LOG": appended, created when missing, one
// line per status event. Written line by line so nothing is lost when the
// program ends for a restart right after the last event.

#include <QDateTime>
#include <QString>

class TUpdateLog {
public:
    explicit TUpdateLog(QString path = QString()) : path_(std::move(path)) {}
    void SetPath(const QString &path) { path_ = path; }
    const QString &Path() const { return path_; }

    // "dd.mm.yyyy hh:nn:ss : [915] Download : x (Status:3) (Error:0)"
    static QString EventLine(const QDateTime &at, int number, const QString &text, int status, int error);
    void Event(int number, const QString &text, int status, int error);
    // A line of its own, without time ("Unable to delete file ...").
    void Line(const QString &text);

    // Windows-1252; a character the code page lacks is written as <U+XXXX>
    // so that it is visible rather than lost.
    static QByteArray Encode(const QString &text);

private:
    QString path_;
};
