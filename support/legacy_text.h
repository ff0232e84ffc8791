#pragma once
// Text from sources that predate UTF-8 everywhere: Japanese Windows desktops
// write lists, tags and names in CP932, and much of it arrives labelled
// Latin-1 or not labelled at all.

#include <QByteArray>
#include <QString>

namespace rilumo {

// Strict CP932 (Windows Japanese) decoding of the whole array; ok false on any invalid or unmapped sequence.
QString DecodeCp932(const QByteArray& bytes, bool* ok);
// True when the bytes hold a byte >= 0x80 and decode as CP932 without error.
bool LooksLikeCp932(const QByteArray& bytes);
// Text declared Latin-1: CP932 when LooksLikeCp932, else Latin-1 ("Café" stays "Café").
QString DecodeLegacyLatin1(const QByteArray& bytes);
// Text of unknown encoding as a whole: BOM UTF-8 / UTF-16LE / UTF-16BE, valid UTF-8, CP932, else Latin-1.
QString DecodeUnknownText(const QByteArray& bytes);

}  // namespace rilumo
