#pragma once

#include "contactrecord.h"

#include <QByteArray>
#include <QList>

// Reads the persons of a .vcf file with one or more cards, vCard 2.1, 3.0 or
// 4.0 (no library of Qt 6 on Debian reads vCard, so this is our own).
//
// - Lines end in CR LF, LF or CR; a line that begins with a blank or a tab
//   continues the previous one (folding); quoted-printable values continue
//   over soft line breaks ("=" at the end of a line) with the next line as
//   it stands, a blank at its start included.
// - Values are UTF-8, or Windows-1252/Latin-1 when their bytes are not valid
//   UTF-8; a CHARSET parameter naming UTF-8, ISO-8859-1, ISO-8859-15,
//   Windows-1252 or US-ASCII is followed. A UTF-16 file with a byte order
//   mark is read too.
// - Name: FN; without FN the parts of N ("Dr. Hans Peter Meier"); without
//   both the first part of ORG.
// - Adresse: the street of the preferred ADR (then its extended address and
//   post box, joined by ", "); PLZOrt: its postal code and locality, "8000
//   Zürich". The preferred ADR has the lowest PREF (TYPE=pref counts as 1),
//   else it is the first.
// - NatelNummer: the TEL marked as mobile (TYPE=cell, CELL, mobile, iphone
//   or text, in any type list) before any other, the lowest PREF first, then
//   in file order; fax and pager numbers are never taken. A tel: URI gives
//   its number. The number is kept as written.
// - Bemerkungen: every NOTE, joined by line breaks.
// Escapes \\ \, \; \n are resolved; line breaks in the four one-line fields
// become ", ". Every problem is reported with its line (the first
// maxImportMessages of them kept); a card without any of the five fields is
// left out with a message. progress is told how far the reading is and may
// stop it.
ContactImport readVCards(const QByteArray &data, const ReadProgress &progress = {});

// Writes the persons as vCard 4.0 in UTF-8: FN and N (the whole name as
// family name, for programs that only look at N), ADR with street, postal
// code and locality, TEL;TYPE=cell with the number as stored, NOTE; empty
// fields are left out, FN is always written. Text is escaped, lines end in
// CR LF and are folded at 75 octets without splitting a UTF-8 character.
QByteArray writeVCards(const QList<ContactRecord> &records);
