#pragma once
// The vault's program state: one instance for the whole run, shared by the
// master password window, the access-data tab and the reveal.

#include <QString>

#include "vault/core/LbBlowfish.h"

struct TVaultState {
    // The cipher of the stored passwords (chained mode).
    TLbBlowfish LbBlowfish;

    // When an access record is saved, encipher the text of the password box.
    bool KennwortVerschluesseln = false;
    // The password box's text (the record's stored form) when editing began.
    QString KennwortBeiEditStart;
    // What the master password prompt took; wiped once it was compared.
    QString EingabeMasterkennwort;
    // The deciphered password shown by the reveal window; wiped when it closes.
    QString KlartextKennwort;
    // A change of an existing master password is under way: the access-data
    // hooks keep PROJEKTID and do not commit, nor does the settings row.
    bool NeuverschluesselungAktiv = false;
    // Digest text of the old master password once it was verified.
    QString AlterMasterDigest;
};
