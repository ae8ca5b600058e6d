#pragma once
// Tag expansion of the activity log: turns a logged text or a template line
// into finished lines. Pure apart from the line counter, so it can be used
// without the log's threads; the program facts and the moment to use for
// {dte} and {hms} are inputs.

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

// What the value tags report about the running program.
struct THLFacts {
    QString AppName;     // program file name with extension
    QString AppVersion;  // four numbers joined by "."
    QString AppPath;     // program folder with trailing separator
    QStringList Params;  // command-line parameters
};

class THotLogParser {
public:
    explicit THotLogParser(THLFacts facts);
    virtual ~THotLogParser() = default;

    // Appends the finished lines of one text (or template line) to out.
    // Never throws: a failure shows as a "#HLParser..." line in the log.
    void ExpandText(const QString &text, const QDateTime &now, QStringList &out);
    QStringList ExpandText(const QString &text, const QDateTime &now);

    // Expands a list of template lines into one batch.
    void ExpandTemplate(const QStringList &lines, const QDateTime &now, QStringList &out);
    QStringList ExpandTemplate(const QStringList &lines, const QDateTime &now);

    // Finished lines produced so far.
    quint64 LineCount() const { return lineCount_; }

    const THLFacts &Facts() const { return facts_; }

protected:
    // The value of a tag that stands for a fact, by its lower-case name;
    // nothing for a name that is not such a tag.
    virtual std::optional<QString> TagValue(const QString &lowerName, const QDateTime &now) const;

private:
    struct Item;
    void ExpandInto(const QString &text, const QDateTime &now, QStringList &out) const;  // may throw
    std::vector<Item> Split(QStringView text) const;

    THLFacts facts_;
    quint64 lineCount_ = 0;
};
