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
        // Appended piece by piece: g++ 12 at -O3 warns (-Wrestrict) about
        // "literal" + std::string.
        if (kind.name.empty()) {
            summary += '#';
            summary += std::to_string(kind.column);
        } else {
            summary += kind.name;
        }
        for (const RecordField& field : kRecordFields) {
            if (field.text == kind.field) {
                summary += '>';
                summary += field.name;
            }
        }
        summary += '=';
        summary += std::to_string(kind.count);
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
    std::string summary = kNames[static_cast<int>(issue.problem)];
    summary += '@';
    summary += std::to_string(issue.line);
    if (!issue.detail.empty()) {
        summary += ':';
        summary += issue.detail;
    }
    return summary;
}

// The skipped problems, then the refusal after " / ".
inline std::string problemsSummary(const exchange::ImportReport& report) {
    std::string summary;
    for (const exchange::ImportIssue& issue : report.skipped) {
        summary += summary.empty() ? "" : ", ";
        summary += issueSummary(issue);
    }
    if (report.refusal) {
        summary += " / ";
        summary += issueSummary(*report.refusal);
    }
    return summary;
}

} // namespace fichelia::testing
