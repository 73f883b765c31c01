#include "text/ContactTsv.h"

#include <gtest/gtest.h>

using fichelia::text::formatContactTsv;
using fichelia::text::parseContactTsv;

TEST(ContactTsv, readsTheEightFieldsInRecordOrder) {
    const auto parsed = parseContactTsv("Dupont\t1 rue\t01\t06\t02\tdupont@x.fr\thttp://x.fr\tbon client");
    ASSERT_TRUE(parsed.record.has_value()) << parsed.error;
    EXPECT_EQ(*parsed.record, annuaire("Dupont", "1 rue", "01", "06", "02", "dupont@x.fr", "http://x.fr", "bon client"));

    const auto empty = parseContactTsv("\t\t\t\t\t\t\t");
    ASSERT_TRUE(empty.record.has_value());
    EXPECT_EQ(*empty.record, annuaire());
}

TEST(ContactTsv, escapesRoundTrip) {
    const annuaire record("A\tB", "ligne 1\nligne 2", "\r", "C:\\dossier\\", "\\t littéral", "", "😀", "\"q\"");
    const std::string line = formatContactTsv(record);
    EXPECT_EQ(line.find('\n'), std::string::npos);
    EXPECT_EQ(line, "A\\tB\tligne 1\\nligne 2\t\\r\tC:\\\\dossier\\\\\t\\\\t littéral\t\t😀\t\"q\"");
    const auto parsed = parseContactTsv(line);
    ASSERT_TRUE(parsed.record.has_value()) << parsed.error;
    EXPECT_EQ(*parsed.record, record);
}

TEST(ContactTsv, refusesMalformedLinesWithAReason) {
    EXPECT_NE(parseContactTsv("a\tb\tc\td\te\tf\tg").error.find("7 champ"), std::string::npos);
    EXPECT_NE(parseContactTsv("a\tb\tc\td\te\tf\tg\th\ti").error.find("9 champ"), std::string::npos);
    EXPECT_NE(parseContactTsv("").error.find("1 champ"), std::string::npos);
    EXPECT_NE(parseContactTsv("Lef\xE8vre\t\t\t\t\t\t\t").error.find("UTF-8"), std::string::npos);
    EXPECT_NE(parseContactTsv("a\\x\t\t\t\t\t\t\t").error.find("champ 1"), std::string::npos);
    EXPECT_NE(parseContactTsv("\t\t\t\t\t\t\tfin\\").error.find("champ 8"), std::string::npos);
    EXPECT_FALSE(parseContactTsv("a\\x\t\t\t\t\t\t\t").record.has_value());
}
