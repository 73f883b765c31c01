#include "exchange/ContactTsv.h"

#include <gtest/gtest.h>

using fichelia::Contact;
using fichelia::exchange::formatContactTsv;
using fichelia::exchange::parseContactTsv;

TEST(ContactTsv, readsTheEightFieldsInRecordOrder) {
    const auto parsed = parseContactTsv("Dupont\t1 rue\t01\t06\t02\tdupont@x.fr\thttp://x.fr\tbon client");
    ASSERT_TRUE(parsed.record.has_value()) << static_cast<int>(parsed.problem);
    EXPECT_EQ(*parsed.record, Contact("Dupont", "1 rue", "01", "06", "02", "dupont@x.fr", "http://x.fr", "bon client"));

    const auto empty = parseContactTsv("\t\t\t\t\t\t\t");
    ASSERT_TRUE(empty.record.has_value());
    EXPECT_EQ(*empty.record, Contact());
}

TEST(ContactTsv, escapesRoundTrip) {
    const Contact record("A\tB", "ligne 1\nligne 2", "\r", "C:\\dossier\\", "\\t littéral", "", "😀", "\"q\"");
    const std::string line = formatContactTsv(record);
    EXPECT_EQ(line.find('\n'), std::string::npos);
    EXPECT_EQ(line, "A\\tB\tligne 1\\nligne 2\t\\r\tC:\\\\dossier\\\\\t\\\\t littéral\t\t😀\t\"q\"");
    const auto parsed = parseContactTsv(line);
    ASSERT_TRUE(parsed.record.has_value()) << static_cast<int>(parsed.problem);
    EXPECT_EQ(*parsed.record, record);
}

TEST(ContactTsv, refusesMalformedLinesWithAReason) {
    using fichelia::exchange::TsvProblem;
    const struct {
        const char* line;
        TsvProblem problem;
        std::size_t number;
    } cases[] = {
        {"a\tb\tc\td\te\tf\tg", TsvProblem::FieldCount, 7},
        {"a\tb\tc\td\te\tf\tg\th\ti", TsvProblem::FieldCount, 9},
        {"", TsvProblem::FieldCount, 1},
        {"Lef\xE8vre\t\t\t\t\t\t\t", TsvProblem::InvalidUtf8, 0},
        {"a\\x\t\t\t\t\t\t\t", TsvProblem::UnknownEscape, 1},
        {"\t\t\t\t\t\t\tfin\\", TsvProblem::UnknownEscape, 8},
    };
    for (const auto& c : cases) {
        const auto parsed = parseContactTsv(c.line);
        EXPECT_FALSE(parsed.record.has_value()) << c.line;
        EXPECT_EQ(parsed.problem, c.problem) << c.line;
        EXPECT_EQ(parsed.number, c.number) << c.line;
    }
}
