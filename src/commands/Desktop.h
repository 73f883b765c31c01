#pragma once

#include <QString>

namespace fichelia {

// What the desktop offers besides boxes and files.
class Desktop {
public:
    virtual ~Desktop() = default;

    // Hands an address ("https://...") or a local file to the desktop's default
    // handler. False when nothing could take it.
    virtual bool openAddress(const QString& address) = 0;
    virtual bool openLocalFile(const QString& path) = 0;

    // The folder of the running executable, and the user's cache folder (made
    // when missing; empty when there is none).
    virtual QString executableFolder() const = 0;
    virtual QString cacheFolder() const = 0;
};

} // namespace fichelia
