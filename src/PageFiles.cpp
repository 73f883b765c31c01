#include "PageFiles.h"

namespace fichelia {

QStringList pageFilters() {
    return {QStringLiteral("Fichier HTML (*.html)"), QStringLiteral("Fichier HTM (*.htm)")};
}

QString withPageExtension(const QString& chosen, int filterIndex) {
    const qsizetype dot = chosen.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0) {
        const QString extension = chosen.mid(dot + 1);
        if (extension.compare(QLatin1String("htm"), Qt::CaseInsensitive) == 0 ||
            extension.compare(QLatin1String("html"), Qt::CaseInsensitive) == 0) {
            return chosen;
        }
    }
    return chosen + (filterIndex == 1 ? QStringLiteral(".html") : QStringLiteral(".htm"));
}

} // namespace fichelia
