#pragma once

#include <exception>

#include <QString>

#include "base/Result.h"

// What went wrong, in French: the words the window's boxes use.
namespace fichelia {

// As the end of a sentence that names the file: "le disque est plein"
// (the words of exchange/ImportWords.h, which the companion tool says too).
QString reasonText(Error error);

// The error box's text when the list cannot take an entry (the box adds the
// full stop).
inline const QString kCannotInsert = QStringLiteral("Impossible d'insérer une ligne");

// The error box's text for an exception that escaped a handler or start-up:
// memory running out, or a fault of the program.
QString escapedErrorText(const std::exception& error);

} // namespace fichelia
