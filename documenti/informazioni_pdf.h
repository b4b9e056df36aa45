#pragma once

#include <QByteArray>
#include <QString>

#include <utility>
#include <vector>

// The PDF with entries of its document information dictionary set (Title,
// Author, Subject…), added as an incremental update: a new dictionary with
// the old one's entries and these, its cross-reference section, and a
// trailer that points to both and back to the file's own. The bytes before
// stay as they were. Empty values are left out. Raises ErroreFile when the
// file's cross-reference table or trailer cannot be read.
QByteArray conInformazioni(const QByteArray& pdf,
                           const std::vector<std::pair<QByteArray, QString>>& voci);
