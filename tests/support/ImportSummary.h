#pragma once

#include <string>

#include "exchange/ImportReport.h"

namespace fichelia::testing {

// What a report left out, as "BDAY=1, TEL>gsm=1, #9=1" (a column without a
// name as its number, the field lost after '>'), kinds in report order.
inline std::string leftOutSummary(const exchange::ImportReport& report) {
    // Appended piece by piece: GCC 12 at -O3 warns falsely on "x" + std::string.
    std::string summary;
    for (const exchange::LeftOut& kind : report.leftOut) {
        summary.append(summary.empty() ? "" : ", ");
        if (kind.name.empty()) {
            summary.append("#").append(std::to_string(kind.column));
        } else {
            summary.append(kind.name);
        }
        for (const RecordField& field : kRecordFields) {
            if (field.text == kind.field) {
                summary.append(">").append(field.name);
            }
        }
        summary.append("=").append(std::to_string(kind.count));
    }
    return summary;
}

// A problem as "Name@line" or "Name@line:detail".
inline std::string issueSummary(const exchange::ImportIssue& issue) {
    static constexpr const char* kNames[] = {
        "TsvFieldCount", "TsvInvalidUtf8", "TsvUnknownEscape", "CsvMisplacedQuote", "VCardLineWithoutColon",
        "VCardUnclosed", "VCardOutsideCard", "VCardNotACard", "BadQuotedPrintable", "BadBase64", "UnknownCharset",
        "LdifLineWithoutColon", "LdifStrayContinuation", "LdifEntryWithoutDn", "CsvUnclosedQuote", "UnknownHeader",
        "OtherFileKind", "BinaryData", "NothingUsable", "OutOfMemory", "NotAnAddressBook", "NoContacts", "NoName",
        "PageLineDamaged",
    };
    std::string summary(kNames[static_cast<int>(issue.problem)]);
    summary.append("@").append(std::to_string(issue.line));
    if (!issue.detail.empty()) {
        summary.append(":").append(issue.detail);
    }
    return summary;
}

// The skipped problems, then the refusal after " / ".
inline std::string problemsSummary(const exchange::ImportReport& report) {
    std::string summary;
    for (const exchange::ImportIssue& issue : report.skipped) {
        summary.append(summary.empty() ? "" : ", ").append(issueSummary(issue));
    }
    if (report.refusal) {
        summary.append(" / ").append(issueSummary(*report.refusal));
    }
    return summary;
}

} // namespace fichelia::testing
