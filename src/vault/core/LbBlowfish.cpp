#include "vault/core/LbBlowfish.h"

#include <utility>

#include "platform/core/SecureZero.h"
#include "platform/core/TickCounter.h"
#include "vault/core/Base64.h"
#include "vault/core/PassPhraseDigest.h"
#include "vault/core/StoredForm.h"

TLbBlowfish::TLbBlowfish(TickSource ticks) : ticks_(ticks ? std::move(ticks) : TickSource(ticks::GetTickCount32)) {}

TLbBlowfish::~TLbBlowfish() { secure::Zero(key_); }

QByteArray TLbBlowfish::DecipherText(const QByteArray &storedForm) {
    const vault::BlockOpMask op(key_);
    return vault::DecipherBlocks(op, vault::Base64Decode(storedForm));
}

QByteArray TLbBlowfish::EncipherText(const QByteArray &clearText) {
    const vault::BlockOpMask op(key_);
    vault::Block start;
    start.w0 = ticks_();  // two successive readings, in this order
    start.w1 = ticks_();
    return vault::Base64Encode(vault::EncipherBlocks(op, start, clearText));
}

void TLbBlowfish::KeyFromPassPhrase(const QByteArray &passPhrase) {
    vault::PassPhraseDigest(passPhrase, key_.data(), key_.size());
}
