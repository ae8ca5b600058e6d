#include "vault/VaultWindows.h"

namespace {
void Frame(QDialog *d, const char *name, const QString &caption, int w, int h) {
    d->setObjectName(QString::fromLatin1(name));
    d->setWindowTitle(caption);
    d->setFixedSize(w, h);
    d->setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}
}  // namespace

TfrmMasterKW::TfrmMasterKW(QWidget *parent) : QDialog(parent) {
    Frame(this, "frmMasterKW", QStringLiteral("Masterkennwort"), 452, 250);
}

TfrmInputMaster::TfrmInputMaster(QWidget *parent) : QDialog(parent) {
    Frame(this, "frmInputMaster", QStringLiteral("Entschlüsselung des Zugangskennworts"), 205, 101);
}

TfrmKennwort::TfrmKennwort(QWidget *parent) : QDialog(parent) {
    Frame(this, "frmKennwort", QStringLiteral("Das Zugangskennwort lautet:"), 255, 76);
}
