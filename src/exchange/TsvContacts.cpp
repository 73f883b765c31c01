#include "exchange/TsvContacts.h"

#include <algorithm>
#include <string>

#include "exchange/TextLines.h"
#include "exchange/ContactTsv.h"

namespace fichelia::exchange {

void readTsvContacts(std::string_view bytes, ImportSink& sink) {
    sink.reserve(static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1);
    TextLines lines(bytes);
    while (!lines.atEnd()) {
        auto parsed = parseContactTsv(lines.next());
        if (!parsed.record) {
            switch (parsed.problem) {
            case exchange::TsvProblem::FieldCount:
                sink.skip(ImportProblem::TsvFieldCount, lines.number(), std::to_string(parsed.number));
                break;
            case exchange::TsvProblem::UnknownEscape:
                sink.skip(ImportProblem::TsvUnknownEscape, lines.number(), std::to_string(parsed.number));
                break;
            default: sink.skip(ImportProblem::TsvInvalidUtf8, lines.number()); break;
            }
            continue;
        }
        sink.add(std::move(*parsed.record), lines.number());
    }
}

} // namespace fichelia::exchange
