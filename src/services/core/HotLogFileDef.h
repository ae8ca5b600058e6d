#pragma once
// The log file definition THLFileDef: where the activity log goes and when
// it rolls over. The writer works on its own copy.

#include <QString>
#include <QtGlobal>

class THLFileDef {
public:
    QString Folder;     // with trailing separator
    QString BaseName;   // the program file's name without extension
    QString Extension;  // with leading ".", ".log" or a generation's ".001"
    bool SizeLimitOn = false;
    qint32 MaxSize = 1'048'576;  // bytes
    bool SwitchedToGeneration = false;

    QString FileName() const { return Folder + BaseName + Extension; }

    // Append to an existing file; switching it on keeps no generations.
    bool AppendMode() const { return appendMode_; }
    void SetAppendMode(bool on);
    // Generation files to keep (0: all of them, at most 999); any other
    // value than 0 starts each run in a fresh file.
    quint16 MaxGenerations() const { return maxGenerations_; }
    void SetMaxGenerations(unsigned count);

private:
    bool appendMode_ = true;
    quint16 maxGenerations_ = 0;
};
