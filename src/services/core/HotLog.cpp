#include "services/core/HotLog.h"

#include <QByteArrayView>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <thread>
#include <utility>
#include <variant>
#include <vector>

#include "platform/core/Cp1252.h"
#include "platform/core/GermanFormat.h"
#include "services/core/HotLogParser.h"
#include "services/core/HotLogQueue.h"
#include "services/core/HotLogVisual.h"
#include "services/core/HotLogWriter.h"

namespace {

// What the expander's queue holds.
struct THLStringMsg {
    QString Text;
};
struct THLTemplateMsg {
    QStringList Lines;
};
struct THLErrMsg {
    QString Message;
    qint32 Code;
};
struct THLQuitMsg {};
using ExpanderItem = std::variant<THLStringMsg, THLTemplateMsg, THLErrMsg, THLQuitMsg>;

// A chunk goes to the writer once it holds this much, so that the writer
// works while the expander goes on with a long burst.
constexpr qsizetype kChunkBytes = 64 * 1024;

// Windows-1252 bytes of one line and its CR LF. A line break inside the text
// is written as CR LF too, so that every line of the file ends alike; a
// character the code page lacks is written as "?".
void AppendEncoded(QByteArray &out, QStringView line) {
    const qsizetype need = out.size() + 2 * line.size() + 2;
    if (out.capacity() < need) out.reserve(std::max(need, 2 * out.capacity()));
    const qsizetype start = out.size();
    out.resize(need);
    char *const begin = out.data();
    char *p = begin + start;
    const char16_t *s = line.utf16();
    const qsizetype n = line.size();

    // Most lines hold only characters that are their own byte; one pass the
    // compiler can vectorise settles that.
    bool plain = true;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = s[i];
        p[i] = char(c);
        plain &= (c >= 0x20 && c < 0x80) || (c >= 0xA0 && c <= 0xFF);
    }
    if (plain) {
        p += n;
    } else {
        for (qsizetype i = 0; i < n; ++i) {
            const char16_t c = s[i];
            if ((c >= 0x20 && c < 0x80) || (c >= 0xA0 && c <= 0xFF)) {
                *p++ = char(c);
            } else if (c == u'\r' || c == u'\n') {
                *p++ = '\r';
                *p++ = '\n';
                if (c == u'\r' && i + 1 < n && s[i + 1] == u'\n') ++i;
            } else {
                const auto b = cp1252::ByteFor(c);
                *p++ = b ? *b : '?';
            }
        }
    }
    *p++ = '\r';
    *p++ = '\n';
    out.resize(p - begin);
}

QString MessageOf(const std::exception &error) {
    const char *what = error.what();
    const QByteArrayView bytes(what ? what : "");
    return bytes.isValidUtf8() ? QString::fromUtf8(bytes) : cp1252::Decode(bytes.data(), bytes.size());
}

}  // namespace

struct THotLog::Impl {
    Impl(THLFacts facts, THLFileDef def) : parser(std::move(facts)), fileDef(std::move(def)) {}

    void RunExpander();
    bool Accepting() const { return writer && writer->Running(); }

    THotLogParser parser;  // used by the expander thread only
    THLFileDef fileDef;
    THotLogVisual visual;  // outlives the writer, which feeds it
    std::unique_ptr<THotLogWriter> writer;
    THLQueue<ExpanderItem> queue;
    std::thread expander;
    std::unique_ptr<QTimer> sizeCheckTimer;
    bool started = false;
};

void THotLog::Impl::RunExpander() {
    NameThisThread("hlexpander");
    std::vector<ExpanderItem> items;
    for (;;) {
        queue.TakeAll(items);
        const QDateTime now = QDateTime::currentDateTime();
        THLChunk chunk;
        chunk.Lines.reserve(qsizetype(items.size()));
        bool quit = false;
        for (ExpanderItem &item : items) {
            const qsizetype first = chunk.Lines.size();
            if (auto *text = std::get_if<THLStringMsg>(&item)) {
                parser.ExpandText(text->Text, now, chunk.Lines);
            } else if (auto *lines = std::get_if<THLTemplateMsg>(&item)) {
                parser.ExpandTemplate(lines->Lines, now, chunk.Lines);
            } else if (auto *error = std::get_if<THLErrMsg>(&item)) {
                chunk.Lines += ErrorBlock(error->Message, error->Code);
            } else {
                quit = true;
                break;
            }
            for (qsizetype i = first; i < chunk.Lines.size(); ++i) AppendEncoded(chunk.Bytes, chunk.Lines.at(i));
            if (chunk.Bytes.size() >= kChunkBytes) writer->Push(std::exchange(chunk, {}));
        }
        if (!chunk.Lines.isEmpty()) writer->Push(std::move(chunk));
        items.clear();
        if (quit) return;
    }
}

THotLog::THotLog(const QString &programFile, const QStringList &params, const VersionInfo &version)
    : HeaderTemplate(StandardHeaderTemplate()), FooterTemplate(StandardFooterTemplate()) {
    const QFileInfo program(programFile);
    QString folder = program.absolutePath();
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');

    THLFacts facts;
    facts.AppName = program.fileName();
    facts.AppVersion = version.NumberText();
    facts.AppPath = QDir::toNativeSeparators(folder);
    facts.Params = params;

    THLFileDef def;
    def.Folder = folder;
    def.BaseName = program.completeBaseName();
    def.Extension = QStringLiteral(".log");
    d_ = std::make_unique<Impl>(std::move(facts), std::move(def));
}

THotLog::~THotLog() {
    DetachMemo();
    d_->sizeCheckTimer.reset();
    if (d_->expander.joinable()) {
        d_->queue.Push(THLQuitMsg{});
        d_->expander.join();
    }
    if (d_->writer) d_->writer->Stop();
    d_->visual.Stop();
}

THLFileDef &THotLog::FileDef() { return d_->fileDef; }
const THLFileDef &THotLog::FileDef() const { return d_->fileDef; }

void THotLog::StartWriters() {
    if (d_->started) return;
    d_->started = true;
    d_->writer = std::make_unique<THotLogWriter>(d_->fileDef, d_->visual);
    d_->expander = std::thread([this] { d_->RunExpander(); });
    if (!d_->writer->Start()) return;  // no log file: the program runs on without one
    if (d_->fileDef.SizeLimitOn) {
        d_->sizeCheckTimer = std::make_unique<QTimer>();
        d_->sizeCheckTimer->setInterval(1000);
        QObject::connect(d_->sizeCheckTimer.get(), &QTimer::timeout, d_->sizeCheckTimer.get(),
                         [this] { SizeCheckTimerTimer(); });
        d_->sizeCheckTimer->start();
    }
}

void THotLog::WriteLine(const QString &text) {
    if (d_->Accepting()) d_->queue.Push(THLStringMsg{text});
}

void THotLog::WriteTemplate(const QStringList &lines) {
    if (d_->Accepting()) d_->queue.Push(THLTemplateMsg{lines});
}

void THotLog::WriteError(const std::exception &error, int code) { WriteError(MessageOf(error), code); }

void THotLog::WriteError(const QString &message, int code) {
    if (d_->Accepting()) d_->queue.Push(THLErrMsg{message, qint32(code)});
}

void THotLog::AttachView(THotLogView *memo) {
    if (d_->Accepting()) d_->visual.Attach(memo);
}

void THotLog::DetachMemo() { d_->visual.Detach(); }

void THotLog::SetAutoScroll(bool on) { d_->visual.SetAutoScroll(on); }

void THotLog::SizeCheckTimerTimer() {
    const THLFileDef &def = d_->fileDef;
    if (!def.SizeLimitOn || def.MaxSize <= 0 || !d_->Accepting()) return;
    if (QFileInfo(d_->writer->CurrentFileName()).size() >= def.MaxSize) d_->writer->RequestRollOver();
}

bool THotLog::WriterRunning() const { return d_->Accepting(); }

QString THotLog::FileName() const { return d_->writer ? d_->writer->CurrentFileName() : d_->fileDef.FileName(); }

QStringList THotLog::ErrorBlock(const QString &message, int code) {
    const QString bullets(23, QChar(0x2022));
    QString title = QStringLiteral("\u2022\u2022\u2022    E R R O R    \u2022\u2022\u2022 ");
    if (code != 0) title += QLatin1Char('(') + QString::number(code) + QStringLiteral(") ");
    if (!message.isEmpty()) title += QLatin1Char('"') + message + QStringLiteral("\" ");
    return {QString(), bullets, title, bullets, QString()};
}

QStringList THotLog::StandardHeaderTemplate() {
    return {QStringLiteral("{/}{LNumOff}{*80*}"), QStringLiteral(">>>> Start {App_name}  v {App_ver}{80@}{&}{dte} {hms}{&}"),
            QStringLiteral("{@12}From : {App_path}"), QStringLiteral("{@12}Prms : {App_prm-}{/}")};
}

QStringList THotLog::StandardFooterTemplate() {
    return {QStringLiteral("{LNumOff}"), QStringLiteral("<<<< Stop  {App_name}{80@}{&}{dte} {hms}{&}"),
            QStringLiteral("{*80*}{/}")};
}

void LogLine(THotLog &log, const QString &message) { log.WriteLine(de::LogLine(message)); }
