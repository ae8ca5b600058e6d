#pragma once
// The update control file: INI-style sections and keys, read from the bytes
// the server sent (Windows-1252). Section and key names are compared without
// regard to case; the first occurrence of a key in a section counts.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <optional>

class TControlFile {
public:
    // Parses arbitrary bytes; lines that are neither a section header nor a
    // key=value pair are ignored.
    static TControlFile Parse(const QByteArray &bytes);

    bool HasSection(const QString &section) const;
    bool Has(const QString &section, const QString &key) const;
    // The trimmed value, empty when absent.
    QString Value(const QString &section, const QString &key) const;
    // An integer value; fallback when absent or not a number.
    qint64 Integer(const QString &section, const QString &key, qint64 fallback) const;

private:
    QHash<QString, QHash<QString, QString>> sections_;
};
