#include "vault/window/FrmMasterKW.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QShortcut>
#include <optional>

#include "app/window/icons/ImageListMain.h"
#include "platform/core/Dialogs.h"
#include "platform/core/GermanFormat.h"
#include "platform/window/KeyHints.h"
#include "services/core/HotLog.h"
#include "store/window/DataLinks.h"
#include "store/core/DataModule.h"
#include "store/core/Shell.h"
#include "vault/core/Secrets.h"
#include "vault/window/VaultWidgets.h"

TfrmMasterKW::TfrmMasterKW(QWidget *parent, TDataModule1 &dm, TShell &shell, TVaultState &state, THotLog *log)
    : QDialog(parent), dm_(dm), shell_(shell), state_(state), log_(log),
      rules_(std::make_unique<TMasterPassword>(dm, shell, state, log)) {
    setObjectName(QStringLiteral("frmMasterKW"));
    setWindowTitle(QStringLiteral("Masterkennwort"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(true);
    setFixedSize(452, 250);

    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setGeometry(0, 0, 452, 29);
    ToolBar1->setIconSize(QSize(16, 16));
    BtnSaveMasterKW = new QToolButton(ToolBar1);
    BtnSaveMasterKW->setObjectName(QStringLiteral("BtnSaveMasterKW"));
    BtnSaveMasterKW->setIcon(ImageListMain::Icon(ImageListMain::Save));
    BtnSaveMasterKW->setToolTip(QStringLiteral("Sichern der Masterkennwortdaten"));
    BtnSaveMasterKW->setAutoRaise(true);
    BtnSaveMasterKW->setEnabled(false);
    ToolBar1->addWidget(BtnSaveMasterKW);
    ToolBar1->addSeparator();
    BtnKWAendern = new QPushButton(ImageListMain::Icon(ImageListMain::MasterPassword), QStringLiteral("Kennwort ändern"), ToolBar1);
    BtnKWAendern->setObjectName(QStringLiteral("BtnKWAendern"));
    BtnKWAendern->setToolTip(QStringLiteral("Das Masterkennwort ändern"));
    // 115 x 22, wider where the desktop's font needs it.
    BtnKWAendern->setFixedSize(qMax(115, BtnKWAendern->sizeHint().width()), 22);
    BtnKWAendern->setAutoDefault(false);
    BtnKWAendern->setFocusPolicy(Qt::TabFocus);
    ToolBar1->addWidget(BtnKWAendern);
    connect(BtnSaveMasterKW, &QToolButton::clicked, this, &TfrmMasterKW::BtnSaveMasterKWClick);
    connect(BtnKWAendern, &QPushButton::clicked, this, &TfrmMasterKW::BtnKWAendernClick);

    auto label = [this](const char *name, const QString &text, int x, int y) {
        auto *l = new QLabel(text, this);
        l->setObjectName(QString::fromLatin1(name));
        l->move(x, y);
        return l;
    };
    Label1 = label("Label1", QStringLiteral("Kennwort (max. 20 Zeichen):"), 8, 35);
    EditKennwort1 = new QLineEdit(this);
    EditKennwort1->setObjectName(QStringLiteral("EditKennwort1"));
    vaultui::MakePasswordEdit(EditKennwort1, vault::kMasterPasswordMaxLength);
    EditKennwort1->setToolTip(QStringLiteral("mindestens 6 Zeichen, maximal 20 Zeichen"));
    EditKennwort1->move(8, 50);
    EditKennwort1->installEventFilter(this);
    LabelKWAendern = new QLabel(
        QStringLiteral("Masterkennwort vereits vorhanden. Zum Ändern Schaltfläche Kennwort ändern verwenden"), this);
    LabelKWAendern->setObjectName(QStringLiteral("LabelKWAendern"));
    LabelKWAendern->setWordWrap(true);
    LabelKWAendern->setGeometry(187, 51, 257, 25);
    QPalette red = LabelKWAendern->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    LabelKWAendern->setPalette(red);
    Label2 = label("Label2", QStringLiteral("Kennwort wiederholen:"), 8, 83);
    EditKennwort2 = new QLineEdit(this);
    EditKennwort2->setObjectName(QStringLiteral("EditKennwort2"));
    vaultui::MakePasswordEdit(EditKennwort2, vault::kMasterPasswordMaxLength);
    EditKennwort2->setToolTip(QStringLiteral("mindestens 6 Zeichen, maximal 20 Zeichen"));
    EditKennwort2->move(8, 98);
    Label16 = label("Label16", QStringLiteral("Hinweistext zur Erinnerung des Kennworts:"), 8, 129);
    DBMemoPassphrase = new QPlainTextEdit(this);
    DBMemoPassphrase->setObjectName(QStringLiteral("DBMemoPassphrase"));
    DBMemoPassphrase->setToolTip(QStringLiteral("Geben Sie ggf. einen Hinweis ein, der Sie an das richtige Masterkennwort "
                                                "erinnert, falls Sie dieses vergessen sollten."));
    DBMemoPassphrase->setGeometry(0, 144, 452, 87);
    DBMemoPassphrase->setTabChangesFocus(true);
    new TDBMemoLink(DBMemoPassphrase, dm_.DataSourceAllgemein, QStringLiteral("PASSPHRASE"));
    StatusBarMasterKW = new vaultui::TPanelStatusBar(80, this);
    StatusBarMasterKW->setObjectName(QStringLiteral("StatusBarMasterKW"));
    StatusBarMasterKW->setGeometry(0, 231, 452, 19);

    QWidget::setTabOrder(EditKennwort1, EditKennwort2);
    QWidget::setTabOrder(EditKennwort2, DBMemoPassphrase);
    // Screen readers name each field by its label, the save button by its hint.
    Label1->setBuddy(EditKennwort1);
    Label2->setBuddy(EditKennwort2);
    Label16->setBuddy(DBMemoPassphrase);
    BtnSaveMasterKW->setAccessibleName(BtnSaveMasterKW->toolTip());

    connect(dm_.DataSourceAllgemein, &TDataSource::StateChange, this, &TfrmMasterKW::DataSourceAllgemeinStateChange);

    // The save button takes no focus: Ctrl+S, or Enter in a password edit, saves.
    auto saveIfEnabled = [this] {
        if (BtnSaveMasterKW->isEnabled()) BtnSaveMasterKW->click();
    };
    const QKeySequence saveKey(Qt::CTRL | Qt::Key_S);
    connect(new QShortcut(saveKey, this), &QShortcut::activated, this, saveIfEnabled);
    for (QLineEdit *edit : {EditKennwort1, EditKennwort2}) connect(edit, &QLineEdit::returnPressed, this, saveIfEnabled);
    keyhints::NameKeys(BtnSaveMasterKW, keyhints::KeyText(saveKey) + QStringLiteral(" oder Eingabe"));
}

TfrmMasterKW::~TfrmMasterKW() = default;

// --- the window's states ---------------------------------------------------------------

void TfrmMasterKW::SetWindowState(TWindowState s) {
    windowState_ = s;
    const bool open = s != TWindowState::Locked;
    BtnKWAendern->setEnabled(s == TWindowState::Locked);
    for (QWidget *field : {static_cast<QWidget *>(EditKennwort1), static_cast<QWidget *>(EditKennwort2),
                           static_cast<QWidget *>(DBMemoPassphrase)})
        vaultui::SetEntryLook(field, open);
    LabelKWAendern->setVisible(s != TWindowState::New);
}

void TfrmMasterKW::ClearPasswordEdits() {
    EditKennwort1->clear();
    EditKennwort2->clear();
}

void TfrmMasterKW::showEvent(QShowEvent *event) {
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
    FormShow();
}

void TfrmMasterKW::FormShow() {
    state_.NeuverschluesselungAktiv = false;
    closeWithoutQuestion_ = false;
    ++shownSerial_;
    ClearPasswordEdits();
    TIBDataSet *g = dm_.IBDataSetAllgemein;
    const int stamp = g->FieldIndex(QStringLiteral("ZEITSTEMPEL"));
    const QVariant when = stamp >= 0 ? g->CurrentValue(stamp) : QVariant();
    StatusBarMasterKW->SetPanelText(
        1, QStringLiteral("Letzte Änderung: ") + (when.isNull() ? QString() : de::DateTimeText(when.toDateTime())));
    if (vault::StoredMasterDigest(dm_).isEmpty()) {
        SetWindowState(TWindowState::New);
        EditKennwort1->setFocus(Qt::OtherFocusReason);
    } else {
        SetWindowState(TWindowState::Locked);
        // The hint as stored now; the memo follows the row.
        links::Guard([g] { g->Refresh(); });
        // The question waits until the window is on the screen.
        const int serial = shownSerial_;
        QMetaObject::invokeMethod(
            this,
            [this, serial] {
                if (isVisible() && serial == shownSerial_) AskForBackupThenChange();
            },
            Qt::QueuedConnection);
    }
    DataSourceAllgemeinStateChange();
}

void TfrmMasterKW::AskForBackupThenChange() {
    if (TDialogs::Current().Confirm(QStringLiteral("Vor dem Ändern des Masterkennworts sollte ein Backup gezogen "
                                                   "werden.\r\nSoll jetzt ein Backup gezogen werden?"))) {
        if (StartBackup) StartBackup();
    }
    BtnKWAendernClick();
}

void TfrmMasterKW::BtnKWAendernClick() {
    state_.NeuverschluesselungAktiv = true;
    QString entry;  // Cancel counts as the empty entry
    TDialogs::Current().InputQuery(QStringLiteral("Wechsel des Masterkennworts"), QStringLiteral("Altes Kennwort"), entry,
                                   true, vault::kMasterPasswordMaxLength);
    secure::TWipeOnExit wipeEntry(entry);
    const QString digest = vault::DigestOfTyped(LbSHA11, entry);
    if (!digest.isEmpty() && digest == vault::StoredMasterDigest(dm_)) {
        state_.AlterMasterDigest = digest;
        ClearPasswordEdits();
        SetWindowState(TWindowState::Changing);
        // The old hint does not survive a change; the user types a new one.
        links::Guard([this] {
            rules_->StartEditingRow();
            dm_.IBDataSetAllgemein->FieldByName(QStringLiteral("PASSPHRASE")).SetValue(QString());
        });
        DBMemoPassphrase->clear();
        if (EditKennwort1->isEnabled()) EditKennwort1->setFocus(Qt::OtherFocusReason);
        return;
    }
    TDialogs::Current().MessageBox(QStringLiteral("falsches Masterkennwort, nur Anzeige möglich!"), QStringLiteral("Fehler"),
                                   TMsgIcon::None, mbOK);
    SetWindowState(TWindowState::Locked);
}

bool TfrmMasterKW::eventFilter(QObject *watched, QEvent *event) {
    if (watched == EditKennwort1 && event->type() == QEvent::KeyPress) {
        const QString text = static_cast<QKeyEvent *>(event)->text();
        if (!text.isEmpty() && (text.at(0) >= QLatin1Char(' ') || text.at(0) == QLatin1Char('\b')))
            EditKennwort1KeyPress();
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmMasterKW::EditKennwort1KeyPress() {
    links::Guard([this] { rules_->StartEditingRow(); });
}

// --- saving ---------------------------------------------------------------------------

void TfrmMasterKW::BtnSaveMasterKWClick() {
    std::optional<TWaitCursor> wait(std::in_place);
    QString first = EditKennwort1->text(), second = EditKennwort2->text();
    secure::TWipeOnExit wipeFirst(first), wipeSecond(second);
    const TMasterSaveResult result = rules_->SaveNew(LbSHA11, first, second);
    TDialogs &dialogs = TDialogs::Current();
    for (const QString &refusal : result.Refusals) {
        dialogs.Beep();
        dialogs.MessageBox(refusal, QStringLiteral("Fehler"), TMsgIcon::None, mbOK);
        ClearPasswordEdits();
        if (EditKennwort1->isEnabled()) EditKennwort1->setFocus(Qt::OtherFocusReason);
    }
    if (!result.FailureMessage.isEmpty()) {
        wait.reset();
        AbandonChange(result.ErrorText, result.FailureMessage);
        return;
    }
    if (!result.Saved) return;
    StatusBarMasterKW->SetPanelText(1, QStringLiteral("Masterkennwortdaten wurden gesichert."));
    if (FilterDetailsByProjekt) links::Guard(FilterDetailsByProjekt);
    // Without a current project nothing re-queried the access records.
    if (!dm_.IBDataSetZugangsdaten->Active()) links::Guard([this] { dm_.IBDataSetZugangsdaten->Open(); });
    wait.reset();
    close();
}

void TfrmMasterKW::AbandonChange(const QString &error, const QString &message) {
    TDialogs::Current().MessageBox(message, QStringLiteral("Programmabbruch"), TMsgIcon::None, mbOK);
    closeWithoutQuestion_ = true;
    close();
    shell_.ShowError(std::runtime_error(error.toStdString()));
    shell_.EndProgram();
}

// --- closing ----------------------------------------------------------------------------

bool TfrmMasterKW::FormCloseQuery() {
    if (!closeWithoutQuestion_ && BtnSaveMasterKW->isEnabled()) {
        if (!TDialogs::Current().Confirm(
                QStringLiteral("Daten wurden noch nicht gespeichert. Fenster ohne zu speichern schließen?")))
            return false;
        // Nothing typed here is saved later by someone else's post.
        links::Guard([this] { dm_.IBDataSetAllgemein->Cancel(); });
    }
    state_.NeuverschluesselungAktiv = false;
    return true;
}

void TfrmMasterKW::reject() { close(); }

void TfrmMasterKW::closeEvent(QCloseEvent *event) {
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    ClearPasswordEdits();
    event->accept();
    QDialog::done(QDialog::Rejected);
}

// --- the general-settings row -----------------------------------------------------------

void TfrmMasterKW::DataSourceAllgemeinStateChange() {
    const TDataSetState s = dm_.IBDataSetAllgemein->State();
    if (s == TDataSetState::dsInactive) return;
    BtnSaveMasterKW->setEnabled(s != TDataSetState::dsBrowse);
    StatusBarMasterKW->SetPanelText(0, StateName(s));
}
