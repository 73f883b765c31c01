#pragma once

#include "commands/Files.h"

namespace fichelia {

// The disk through Qt: QSaveFile for whole-file writes, QFile for reading.
class QtFiles final : public Files {
public:
    Kind kind(const QString& path) const override;
    Result<void> replace(const QString& path, std::string_view bytes) override;
    Result<std::unique_ptr<ByteSource>> openForReading(const QString& path) override;
};

} // namespace fichelia
