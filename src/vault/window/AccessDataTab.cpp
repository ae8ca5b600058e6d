#include "vault/window/AccessDataTab.h"

#include <QApplication>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QShortcut>
#include <QVBoxLayout>

#include "app/window/icons/ImageListMain.h"
#include "platform/core/Dialogs.h"
#include "platform/window/KeyHints.h"
#include "records/window/TabFrame.h"
#include "store/core/Enabling.h"
#include "store/window/DataLinks.h"
#include "store/core/DataModule.h"
#include "store/window/Looks.h"
#include "store/core/Shell.h"
#include "vault/window/RevealWindows.h"
#include "vault/core/Secrets.h"
#include "vault/window/VaultWidgets.h"

TAccessDataTab::TAccessDataTab(TDataModule1 &dm, TShell &shell, TVaultState &state, const TAccessDataHost &host,
                               QObject *parent)
    : QObject(parent), dm_(dm), shell_(shell), state_(state), host_(host),
      rules_(std::make_unique<TAccessDataRules>(dm, shell, state)) {
    setObjectName(QStringLiteral("AccessDataTab"));
    BuildControls();
    // The hook reads the controls, not the fields: during a master password
    // change they show the record being saved.
    // The before-save hook takes the texts of the three input controls.
    rules_->UserIdText = [this] { return userIdLink_->ControlText(); };
    rules_->PasswordText = [this] { return passwordLink_->ControlText(); };
    rules_->RemarkText = [this] { return remarkLink_->ControlText(); };

    connect(dm_.DataSourceZugangsdaten, &TDataSource::StateChange, this, &TAccessDataTab::DataSourceZugangsdatenStateChange);
    connect(dm_.DataSourceQueryZugangsdaten, &TDataSource::StateChange, this,
            &TAccessDataTab::DataSourceZugangsdatenStateChange);
    DataSourceZugangsdatenStateChange();
}

TAccessDataTab::~TAccessDataTab() = default;

void TAccessDataTab::BuildControls() {
    QWidget *page = host_.Page;
    auto *pageLayout = qobject_cast<QVBoxLayout *>(page->layout());
    if (!pageLayout) pageLayout = new QVBoxLayout(page);
    pageLayout->removeWidget(host_.Grid);

    ToolBarZugangsdaten = new QToolBar(page);
    ToolBarZugangsdaten->setObjectName(QStringLiteral("ToolBarZugangsdaten"));
    ToolBarZugangsdaten->setFixedHeight(29);
    const tabframe::TButtons made = tabframe::BuildToolBar(
        ToolBarZugangsdaten, {{{"BtnInsertZugangsdaten", QStringLiteral("Zugangsdaten hinzufügen")},
                               {"BtnEditZugangsdaten", QStringLiteral("Zugangsdaten bearbeiten")},
                               {"BtnZugangsdatenAbbrechen", QStringLiteral("Bearbeitung/Erfassung abbrechen")},
                               {"BtnDeleteZugangsdaten", QStringLiteral("Zugangsdaten löschen")}}});
    BtnInsertZugangsdaten = made.Insert;
    BtnEditZugangsdaten = made.Edit;
    BtnZugangsdatenAbbrechen = made.Cancel;
    BtnDeleteZugangsdaten = made.Delete;
    for (QAction *a : {BtnInsertZugangsdaten, BtnEditZugangsdaten, BtnZugangsdatenAbbrechen, BtnDeleteZugangsdaten})
        a->setStatusTip(a->toolTip());
    tabframe::InstallKeys(host_.Page, made, host_.Grid);
    ToolBarZugangsdaten->addSeparator();
    connect(BtnInsertZugangsdaten, &QAction::triggered, this, &TAccessDataTab::BtnInsertZugangsdatenClick);
    connect(BtnEditZugangsdaten, &QAction::triggered, this, &TAccessDataTab::BtnEditZugangsdatenClick);
    connect(BtnZugangsdatenAbbrechen, &QAction::triggered, this, &TAccessDataTab::BtnZugangsdatenAbbrechenClick);
    connect(BtnDeleteZugangsdaten, &QAction::triggered, this, &TAccessDataTab::BtnDeleteZugangsdatenClick);

    // The context menu runs a command only while its tool button is enabled:
    // no record without a project, and no second edit start.
    auto whileEnabled = [](QAction *button) {
        return [button] {
            if (button->isEnabled()) button->trigger();
        };
    };
    const QList<QAction *> entries = tabframe::AddPopupEntries(
        host_.PopupMenu, {{{"Zugangsdatenhinzufgen1", QStringLiteral("Zugangsdaten hinzufügen"), whileEnabled(BtnInsertZugangsdaten)},
                           {"Zugangsdatenbearbeiten1", QStringLiteral("Zugangsdaten bearbeiten"), whileEnabled(BtnEditZugangsdaten)},
                           {"Zugangsdatenlschen1", QStringLiteral("Zugangsdaten löschen"), whileEnabled(BtnDeleteZugangsdaten)},
                           {"Bearbeitungabbrechen3", QStringLiteral("Bearbeitung abbrechen"), whileEnabled(BtnZugangsdatenAbbrechen)}}});
    Zugangsdatenhinzufgen1 = entries[0];
    Zugangsdatenbearbeiten1 = entries[1];
    Zugangsdatenlschen1 = entries[2];
    Bearbeitungabbrechen3 = entries[3];

    // Input area: details at the left, the screenshot's place at the right.
    SplitterZugangsdaten = new QSplitter(Qt::Vertical, page);
    SplitterZugangsdaten->setObjectName(QStringLiteral("SplitterZugangsdaten"));
    SplitterZugangsdaten->setChildrenCollapsible(false);
    PanelZugangsdatenEingabe = new QWidget(SplitterZugangsdaten);
    PanelZugangsdatenEingabe->setObjectName(QStringLiteral("PanelZugangsdatenEingabe"));
    auto *input = new QHBoxLayout(PanelZugangsdatenEingabe);
    input->setContentsMargins(0, 0, 0, 0);
    SplitterZugangsdatenImage = new QSplitter(Qt::Horizontal, PanelZugangsdatenEingabe);
    SplitterZugangsdatenImage->setObjectName(QStringLiteral("SplitterZugangsdatenImage"));
    SplitterZugangsdatenImage->setChildrenCollapsible(false);
    input->addWidget(SplitterZugangsdatenImage);

    PanelZugangsdatenDetails = new QWidget(SplitterZugangsdatenImage);
    PanelZugangsdatenDetails->setObjectName(QStringLiteral("PanelZugangsdatenDetails"));
    auto *details = new QVBoxLayout(PanelZugangsdatenDetails);
    details->setContentsMargins(8, 6, 8, 4);
    details->setSpacing(2);
    auto label = [this](const char *name, const QString &text) {
        auto *l = new QLabel(text, PanelZugangsdatenDetails);
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };
    Label5 = label("Label5", QStringLiteral("UserID (max. 40 Zeichen)"));
    DBEditUserID = new QLineEdit(PanelZugangsdatenDetails);
    DBEditUserID->setObjectName(QStringLiteral("DBEditUserID"));
    DBEditUserID->setToolTip(QStringLiteral("Geben Sie die UserID (Benutzerkennung) des Zugangs ein"));
    DBEditUserID->setMaxLength(40);
    DBEditUserID->setFixedWidth(169);
    Label6 = label("Label6", QStringLiteral("Kennwort (max. 40 Zeichen, wird nach dem Sichern verschlüsselt)"));
    DBEditKennwort = new QLineEdit(PanelZugangsdatenDetails);
    DBEditKennwort->setObjectName(QStringLiteral("DBEditKennwort"));
    DBEditKennwort->setToolTip(QStringLiteral("Geben Sie das Kennwort des Zugangs ein"));
    DBEditKennwort->setFixedWidth(385);
    // The box shows stored forms of up to 76 characters; typing stops at 40.
    DBEditKennwort->setValidator(new vaultui::TTypedLengthValidator(DBEditKennwort, 40));
    DBEditKennwort->installEventFilter(this);
    SpeedButtonDecrypt = new QToolButton(PanelZugangsdatenDetails);
    SpeedButtonDecrypt->setObjectName(QStringLiteral("SpeedButtonDecrypt"));
    SpeedButtonDecrypt->setToolTip(QStringLiteral("Hiermit wird das gespeicherte kennwort entschlüsselt"));
    SpeedButtonDecrypt->setIcon(ImageListMain::Icon(ImageListMain::MasterPassword));
    SpeedButtonDecrypt->setIconSize(QSize(16, 16));
    SpeedButtonDecrypt->setFixedSize(35, 32);
    SpeedButtonDecrypt->setFocusPolicy(Qt::NoFocus);
    SpeedButtonDecrypt->setAutoRaise(true);
    // Hiding the button must not move the fields below it.
    QSizePolicy keep = SpeedButtonDecrypt->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    SpeedButtonDecrypt->setSizePolicy(keep);
    connect(SpeedButtonDecrypt, &QToolButton::clicked, this, &TAccessDataTab::SpeedButtonDecryptClick);
    // The button takes no focus; F3 reveals from anywhere in the tab (a line
    // edit keeps Ctrl+E, the end of the line, on some desktops).
    const QKeySequence revealKey(Qt::Key_F3);
    auto *reveal = new QShortcut(revealKey, host_.Page);
    reveal->setContext(Qt::WidgetWithChildrenShortcut);
    connect(reveal, &QShortcut::activated, this, [this] {
        if (SpeedButtonDecrypt->isVisible() && SpeedButtonDecrypt->isEnabled()) SpeedButtonDecrypt->click();
    });
    keyhints::NameKeys(SpeedButtonDecrypt, keyhints::KeyText(revealKey));
    Label16 = label("Label16", QStringLiteral("Bemerkung"));
    DBMemoBemerkung = new QPlainTextEdit(PanelZugangsdatenDetails);
    DBMemoBemerkung->setObjectName(QStringLiteral("DBMemoBemerkung"));
    DBMemoBemerkung->setFixedSize(449, 97);
    DBMemoBemerkung->setTabChangesFocus(true);

    details->addWidget(Label5);
    details->addWidget(DBEditUserID);
    details->addSpacing(6);
    details->addWidget(Label6);
    auto *passwordRow = new QHBoxLayout;
    passwordRow->setSpacing(4);
    passwordRow->addWidget(DBEditKennwort);
    passwordRow->addWidget(SpeedButtonDecrypt);
    passwordRow->addStretch(1);
    details->addLayout(passwordRow);
    details->addSpacing(2);
    details->addWidget(Label16);
    details->addWidget(DBMemoBemerkung);
    details->addStretch(1);
    Label5->setBuddy(DBEditUserID);
    Label6->setBuddy(DBEditKennwort);
    Label16->setBuddy(DBMemoBemerkung);
    QWidget::setTabOrder(DBEditUserID, DBEditKennwort);
    QWidget::setTabOrder(DBEditKennwort, DBMemoBemerkung);

    // The screenshot panel's place; the picture commands fill it.
    PanelZugangsdatenImage = new QWidget(SplitterZugangsdatenImage);
    PanelZugangsdatenImage->setObjectName(QStringLiteral("PanelZugangsdatenImage"));
    PanelZugangsdatenImage->setMinimumWidth(60);
    PanelZugangsdatenImage->setAutoFillBackground(true);
    SetGridLook(PanelZugangsdatenImage);
    QPalette imagePalette = PanelZugangsdatenImage->palette();
    imagePalette.setColor(QPalette::Window, Cl3DLight());
    PanelZugangsdatenImage->setPalette(imagePalette);
    SplitterZugangsdatenImage->addWidget(PanelZugangsdatenDetails);
    SplitterZugangsdatenImage->addWidget(PanelZugangsdatenImage);
    SplitterZugangsdatenImage->setStretchFactor(0, 1);
    SplitterZugangsdatenImage->setStretchFactor(1, 0);
    SplitterZugangsdatenImage->setSizes({600, 285});

    host_.Grid->setParent(SplitterZugangsdaten);
    SplitterZugangsdaten->addWidget(PanelZugangsdatenEingabe);
    SplitterZugangsdaten->addWidget(host_.Grid);
    SplitterZugangsdaten->setStretchFactor(0, 0);
    SplitterZugangsdaten->setStretchFactor(1, 1);
    SplitterZugangsdaten->setSizes({228, 300});
    host_.Grid->setTabKeyNavigation(false);

    pageLayout->addWidget(ToolBarZugangsdaten);
    pageLayout->addWidget(SplitterZugangsdaten, 1);

    userIdLink_ = new TDBEditLink(DBEditUserID, dm_.DataSourceZugangsdaten, QStringLiteral("USERID"));
    // The box shows the stored form; a typed password never enters the
    // record: the before-save hook enciphers it from the box.
    passwordLink_ = new TDBEditLink(DBEditKennwort, dm_.DataSourceZugangsdaten, QStringLiteral("KENNWORT"));
    passwordLink_->SetWritesField(false);
    remarkLink_ = new TDBMemoLink(DBMemoBemerkung, dm_.DataSourceZugangsdaten, QStringLiteral("BESCHREIBUNG"));
    // A stored form is longer than the box: show its beginning, not its end.
    auto showStart = [this] {
        if (!DBEditKennwort->hasFocus()) DBEditKennwort->setCursorPosition(0);
    };
    connect(dm_.DataSourceZugangsdaten, &TDataSource::DataChange, DBEditKennwort, showStart);
    connect(dm_.DataSourceZugangsdaten, &TDataSource::StateChange, DBEditKennwort, showStart);
}

bool TAccessDataTab::eventFilter(QObject *watched, QEvent *event) {
    if (watched == DBEditKennwort && event->type() == QEvent::FocusOut) {
        // A menu or another window taking over is no leaving of the box.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            DBEditKennwortValueValidate(DBEditKennwort->text());
    }
    return QObject::eventFilter(watched, event);
}

bool TAccessDataTab::TabShown() const {
    return host_.PageControl && host_.PageControl->currentWidget() == host_.Page && host_.Page->isVisible();
}

// --- commands ---------------------------------------------------------------------

void TAccessDataTab::BtnInsertZugangsdatenClick() { links::Guard([this] { rules_->Add(); }); }

void TAccessDataTab::BtnEditZugangsdatenClick() {
    links::Guard([this] { rules_->Edit(DBEditKennwort->text()); });
}

void TAccessDataTab::BtnZugangsdatenAbbrechenClick() { links::Guard([this] { rules_->Cancel(); }); }

void TAccessDataTab::BtnDeleteZugangsdatenClick() {
    try {
        rules_->Delete();
    } catch (const std::exception &e) {
        shell_.ShowError(e);
    }
}

void TAccessDataTab::DBEditKennwortValueValidate(const QString &text) {
    ++leaveRuns_;
    rules_->PasswordBoxLeft(text);
}

void TAccessDataTab::EndAccessDataInput() {
    if (!TabShown()) {
        // The remark field cannot take the focus on a hidden tab; the leave
        // rule is all the focus move would have run.
        DBEditKennwortValueValidate(DBEditKennwort->text());
        return;
    }
    const bool inPasswordBox = DBEditKennwort->window()->focusWidget() == DBEditKennwort;
    const int runs = leaveRuns_;
    DBMemoBemerkung->setFocus(Qt::OtherFocusReason);
    // An inactive window moves its focus without telling the widgets.
    if (inPasswordBox && leaveRuns_ == runs) DBEditKennwortValueValidate(DBEditKennwort->text());
}

void TAccessDataTab::SpeedButtonDecryptClick() {
    // What is revealed is the record's stored form, never what is being typed.
    if (rules_->StoredForm().isEmpty()) {
        TDialogs::Current().MessageBox(QStringLiteral("Für diesen Eintrag ist noch kein Kennwort gespeichert."),
                                       QStringLiteral("Hinweis"), TMsgIcon::None, mbOK);
        return;
    }
    if (host_.InputMaster) TDialogs::Current().ShowModal(host_.InputMaster);
    // The entry is used once; nothing keeps it after the comparison.
    QString entry;
    entry.swap(state_.EingabeMasterkennwort);
    secure::TWipeOnExit wipeEntry(entry);
    QString clear;
    try {
        if (!rules_->Decipher(*host_.Digest, entry, clear)) {
            TDialogs::Current().MessageBox(QStringLiteral("falsches Masterkennwort!"), QStringLiteral("Fehler"),
                                           TMsgIcon::None, mbOK);
            return;
        }
    } catch (const std::exception &e) {
        shell_.ShowError(e);
        return;
    }
    state_.KlartextKennwort.swap(clear);
    if (host_.Kennwort) TDialogs::Current().ShowModal(host_.Kennwort);
    secure::Wipe(state_.KlartextKennwort);
}

// --- state rules ------------------------------------------------------------------------

void TAccessDataTab::DataSourceZugangsdatenStateChange() {
    const TEnabling &row = enabling::kAccessData.Row(dm_.IBDataSetZugangsdaten->State(), dm_.ProjekteVorhanden);
    if (!row.Touch) return;
    tabframe::Apply(row, {DBEditUserID, DBEditKennwort, DBMemoBemerkung},
                    {BtnInsertZugangsdaten, BtnEditZugangsdaten, BtnZugangsdatenAbbrechen, BtnDeleteZugangsdaten}, shell_);
    SpeedButtonDecrypt->setVisible(row.Decrypt);
    if (BtnImport) BtnImport->setEnabled(row.Import);
}
