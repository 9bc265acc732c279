#pragma once

#include "functionentry.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The function list as a CSV file for spreadsheets: a header line, then one line per row in stored
// order with label, address, voice, groups, the header of the row's kind group, key and (for an
// individual scene) whether it switches reversed, each field followed by ";". The key and reversed
// columns let the CSV import take the file back whole. UTF-8 with a byte-order mark, CR LF after every line.
// A field that holds ";", a double quote, CR or LF is enclosed in double quotes with its inner double quotes
// doubled, so that every line keeps its five fields; every other field is written as it is.
namespace CsvExport {

// columnCaptions: the captions of the label, address, voice, groups, key and reversed columns; groupHeaders:
// the header of each list group, indexed by kind; yes and no: the catalogue's words for a voice control
// through the item's tags and for a scene that does or does not reverse its blinds.
QByteArray Build(const QList<FunctionEntry>& rows, const QStringList& columnCaptions,
                 const QStringList& groupHeaders, const QString& yes, const QString& no);

// Replaces fileName with bytes atomically: after a failure the old file is as it was. Returns the
// system's reason on failure.
std::optional<QString> Write(const QString& fileName, const QByteArray& bytes);

} // namespace CsvExport
