#include "commands/ErrorText.h"

#include <new>

namespace fichelia {

QString reasonText(Error error) {
    switch (error) {
    case Error::ListFull:
        return QStringLiteral("la liste est pleine");
    case Error::NoSelection:
        return QStringLiteral("aucun nom n'est sélectionné");
    case Error::OutOfMemory:
        return QStringLiteral("la mémoire est insuffisante");
    case Error::FileNotFound:
        return QStringLiteral("le fichier n'existe pas");
    case Error::FolderNotFound:
        return QStringLiteral("le dossier n'existe pas");
    case Error::IsFolder:
        return QStringLiteral("c'est un dossier");
    case Error::ReadOnlyFile:
        return QStringLiteral("le fichier est en lecture seule");
    case Error::AccessDenied:
        return QStringLiteral("l'accès est refusé");
    case Error::DiskFull:
        return QStringLiteral("le disque est plein");
    case Error::ReadOnlyDisk:
        return QStringLiteral("le disque est en lecture seule");
    case Error::ReadFailed:
        return QStringLiteral("la lecture a échoué");
    case Error::WriteFailed:
        return QStringLiteral("l'écriture a échoué");
    }
    return QStringLiteral("erreur inconnue");
}

QString escapedErrorText(const std::exception& error) {
    if (dynamic_cast<const std::bad_alloc*>(&error) != nullptr) {
        return QStringLiteral("Mémoire insuffisante");
    }
    return QStringLiteral("Erreur inattendue : %1").arg(QString::fromUtf8(error.what()));
}

} // namespace fichelia
