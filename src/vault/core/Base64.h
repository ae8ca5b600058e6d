#pragma once
// Base64 as the stored form of an enciphered text uses it.
//
// Writing is standard: the usual alphabet, "=" fills the last group, no line
// breaks. Reading is deliberately not a standard decoder, because stored
// forms are read by these exact rules:
// - the text is read in groups of four characters; every character must lie
//   in "+" (43) ... "z" (122), otherwise EBase64Error;
// - characters of that range outside the alphabet (including "=") count as
//   the value 127, without error;
// - a group yields one byte when its third character is "=", two when its
//   fourth is, three otherwise; a group with "=" does not end the text.
// A text whose length is no multiple of four is refused with EBase64Error.

#include <QByteArray>
#include <QByteArrayView>

namespace vault {

QByteArray Base64Encode(QByteArrayView bytes);
QByteArray Base64Decode(QByteArrayView text);  // throws EBase64Error

}  // namespace vault
