#pragma once

#include "commands/Desktop.h"

namespace fichelia {

// The desktop through Qt: QDesktopServices and QStandardPaths.
class QtDesktop final : public Desktop {
public:
    bool openAddress(const QString& address) override;
    bool openLocalFile(const QString& path) override;
    QString executableFolder() const override;
    QString cacheFolder() const override;
};

} // namespace fichelia
