#include "commands/ErrorText.h"

#include <new>

#include "exchange/ImportWords.h"

namespace fichelia {

QString reasonText(Error error) {
    return QString::fromStdString(words::reasonText(error));
}

QString escapedErrorText(const std::exception& error) {
    if (dynamic_cast<const std::bad_alloc*>(&error) != nullptr) {
        return QStringLiteral("Mémoire insuffisante");
    }
    return QStringLiteral("Erreur inattendue : %1").arg(QString::fromUtf8(error.what()));
}

} // namespace fichelia
