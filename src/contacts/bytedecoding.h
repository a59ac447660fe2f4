#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Text encodings that contact files come in. Files without a byte order mark
// are UTF-8 when their bytes are valid UTF-8, and Windows-1252 otherwise:
// Windows-1252 is Latin-1 with printable characters (€, „, “, …) in place of
// the control codes 0x80–0x9F, which never stand in a name or an address.
enum class TextEncoding { Utf8, Utf16LE, Utf16BE, Windows1252 };

// "UTF-8", "UTF-16LE", "UTF-16BE" or "Windows-1252 (Latin-1)".
QString textEncodingName(TextEncoding encoding);

bool isValidUtf8(QByteArrayView bytes);
QString decodeText(QByteArrayView bytes, TextEncoding encoding);
// ISO-8859-15 (Latin-9): Latin-1 with "€", "Š", "š", "Ž", "ž", "Œ", "œ" and
// "Ÿ" in place of eight of its signs ("¤" at 0xA4 is "€" here).
QString decodeLatin9(QByteArrayView bytes);
// UTF-8 when the bytes are valid UTF-8, Windows-1252 otherwise.
QString decodeUtf8OrLatin1(QByteArrayView bytes);

// The encoding of a whole file: its byte order mark if it has one, else as
// decodeUtf8OrLatin1. bomLength receives the length of the mark (0 without).
TextEncoding detectEncoding(QByteArrayView bytes, qsizetype *bomLength);

// True when the start of the file (its first 64 KiB) is not text: more than
// one byte in twenty is NUL or another control code than tab, line feed,
// form feed and carriage return. An image, an archive or a database has
// such bytes everywhere; a contact file in UTF-8, Latin-1 or (with its byte
// order mark) UTF-16 has hardly any.
bool looksBinary(QByteArrayView bytes);
