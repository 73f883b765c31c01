#pragma once

#include <string>

#include "exchange/ImportReport.h"

namespace fichelia::testing {

// What a report left out, as "BDAY=1, TEL>gsm=1, #9=1" (a column without a
// name as its number, the field lost after '>'), kinds in report order.
inline std::string leftOutSummary(const exchange::ImportReport& report) {
    std::string summary;
    for (const exchange::LeftOut& kind : report.leftOut) {
        summary += summary.empty() ? "" : ", ";
        summary += kind.name.empty() ? "#" + std::to_string(kind.column) : kind.name;
        for (const RecordField& field : kRecordFields) {
            if (field.text == kind.field) {
                summary += ">" + std::string(field.name);
            }
        }
        summary += "=" + std::to_string(kind.count);
    }
    return summary;
}

// A problem as "Name@line" or "Name@line:detail".
inline std::string issueSummary(const exchange::ImportIssue& issue) {
    static constexpr const char* kNames[] = {
        "TsvFieldCount", "TsvInvalidUtf8", "TsvUnknownEscape", "CsvMisplacedQuote", "VCardLineWithoutColon",
        "VCardUnclosed", "VCardOutsideCard", "VCardNotACard", "BadQuotedPrintable", "BadBase64", "UnknownCharset",
        "LdifLineWithoutColon", "LdifStrayContinuation", "LdifEntryWithoutDn", "CsvUnclosedQuote", "UnknownHeader",
        "OtherFileKind", "BinaryData", "NothingUsable", "OutOfMemory",
    };
    std::string summary = std::string(kNames[static_cast<int>(issue.problem)]) + "@" + std::to_string(issue.line);
    return issue.detail.empty() ? summary : summary + ":" + issue.detail;
}

// The skipped problems, then the refusal after " / ".
inline std::string problemsSummary(const exchange::ImportReport& report) {
    std::string summary;
    for (const exchange::ImportIssue& issue : report.skipped) {
        summary += (summary.empty() ? "" : ", ") + issueSummary(issue);
    }
    if (report.refusal) {
        summary += " / " + issueSummary(*report.refusal);
    }
    return summary;
}

} // namespace fichelia::testing
