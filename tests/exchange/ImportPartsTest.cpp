// Large inputs are read in stretches on several threads: a stretch may begin
// only where the reading of the whole is between two contacts, and the
// joined stretches must give the reading of the whole, lines and all.

#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Files.h"
#include "ImportSummary.h"
#include "exchange/ImportParts.h"
#include "exchange/TsvContacts.h"
#include "exchange/VCardContacts.h"

using namespace fichelia::exchange;
using fichelia::testing::leftOutSummary;
using fichelia::testing::problemsSummary;

namespace {

ImportReport readIn(std::size_t parts, std::string_view text, ReadContacts read, PartStart start) {
    ImportSink sink;
    readInParts(text, read, start, sink, parts);
    return sink.take(ContactFormat::Auto);
}

void expectSameReading(std::string_view text, ReadContacts read, PartStart start) {
    const ImportReport whole = readIn(1, text, read, start);
    for (std::size_t parts = 2; parts <= 40; ++parts) {
        SCOPED_TRACE(parts);
        const ImportReport inParts = readIn(parts, text, read, start);
        ASSERT_EQ(inParts.records, whole.records);
        EXPECT_EQ(problemsSummary(inParts), problemsSummary(whole));
        EXPECT_EQ(leftOutSummary(inParts), leftOutSummary(whole));
        EXPECT_EQ(inParts.leftOutSites, whole.leftOutSites);
        EXPECT_EQ(inParts.standIns, whole.standIns);
    }
}

// The pieces in a shuffled order, again and again: the stretches then begin at
// every kind of place.
std::string shuffled(const std::vector<std::string>& pieces, int times) {
    std::mt19937 random(11);
    std::string text;
    for (int i = 0; i < times; ++i) {
        text += pieces[random() % pieces.size()];
    }
    return text;
}

} // namespace

TEST(ImportParts, aVCardPartBeginsOnlyAfterAnEndThatNothingJoinsToAnotherLine) {
    const struct {
        std::string text;
        std::size_t start; // npos: nowhere
    } cases[] = {
        {"BEGIN:VCARD\nFN:a\nEND:VCARD\nBEGIN:VCARD\n", 27},
        {"BEGIN:VCARD\r\nFN:a\r\nEND:VCARD\r\r\nBEGIN:VCARD\n", 31},
        {"BEGIN:VCARD\nFN:a\nEND:VCARD\n\nbegin:vcard", 27},
        {"BEGIN:VCARD\nFN:a\nEND:VCARD\n\nX", std::string::npos}, // no card next
        {"BEGIN:VCARD\nFN:a\nEND:VCARD", std::string::npos},           // at the very end
        {"BEGIN:VCARD\nFN:a\nEND:VCARD\n", std::string::npos},         // nothing after it
        {"BEGIN:VCARD\nFN:a\nEND:VCARD;X\nA\n", std::string::npos},    // more on its line
        {"BEGIN:VCARD\nFN:a\nEND:VCARD\n X\nA\n", std::string::npos},  // folded with the next
        {"BEGIN:VCARD\nFN:a\nEND:VCARD\n\tX\nA\n", std::string::npos}, // folded with the next
        {"BEGIN:VCARD\nNOTE;QUOTED-PRINTABLE:a=\nEND:VCARD\nA\n", std::string::npos},
        {"BEGIN:VCARD\nNOTE;QUOTED-PRINTABLE:a==\n\nEND:VCARD\nA\n", std::string::npos},
        {"BEGIN:VCARD\nNOTE;QUOTED-PRINTABLE:a=\r\nEND:VCARD\nA\n", std::string::npos},
        {"BEGIN:VCARD\nNOTE:a=\nEND:VCARD\nFN:b\nEND:VCARD\nBEGIN:VCARD\n", 45}, // the next that is sound
        {"BEGIN:VCARD\nAGENT:\nBEGIN:VCARD\nFN:b\nEND:VCARD\nTEL:1\nEND:VCARD\nBEGIN:VCARD\n", 62}, // not within
    };
    for (const auto& c : cases) {
        EXPECT_EQ(vcardPartStart(c.text, 1), c.start) << c.text;
    }
    EXPECT_EQ(tsvPartStart("a\nb\nc", 1), 2u);
    EXPECT_EQ(tsvPartStart("a\nb\nc", 2), 2u);
    EXPECT_EQ(tsvPartStart("a\nb\nc", 3), 4u);
    EXPECT_EQ(tsvPartStart("a\nb", 3), std::string::npos);
}

TEST(ImportParts, vCardsReadInPartsAreTheReadingOfTheWhole) {
    const std::string text = shuffled(
        {
            "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Jean Dupont\r\nTEL:01 02\r\nEND:VCARD\r\n",
            "BEGIN:VCARD\nVERSION:2.1\nFN:Piège\nNOTE;ENCODING=QUOTED-PRINTABLE:a=\nEND:VCARD\nBEGIN:VCARD\nFN:x\n"
            "END:VCARD\n",
            "BEGIN:VCARD\nFN:b\nNOTE;QUOTED-PRINTABLE:x==\n\nEND:VCARD\nFN:dehors\nEND:VCARD\n",
            "BEGIN:VCARD\nFN:i\nNOTE;QUOTED-PRINTABLE:x=\nEND:VCARD\nEND:VCARD\n",
            "BEGIN:VCARD\nFN:c\nEND:VCARD\n X\nEND:VCARD\n",
            "FN:perdu\nTEL:2\n",
            "BEGIN:VCARD\nFN:d\nURL:javascript:alert(1)\nEND:VCARD\n",
            "BEGIN:VCARD\nORG:Société X\nEND:VCARD\n",
            "BEGIN:VCARD\nFN:e\nBDAY:2000-01-01\nX-FOO:1\nTEL;TYPE=cell:06\nTEL;TYPE=cell:07\nEND:VCARD\n",
            "BEGIN:VCARD\r\r\nFN:f\r\r\nEND:VCARD\r\r\n",
            "END:VCARDX\nend:vcard\n\n\n",
            "BEGIN:VCARD\nFN:g\n",
            "BEGIN:VCARD\nFN:h\nNOTE sans deux-points\nEND:VCARD\n",
            "BEGIN:VCARD\nVERSION:2.1\nFN:o\nAGENT:\nBEGIN:VCARD\nFN:in\nEND:VCARD\nTEL:1\nEND:VCARD\n",
            "BEGIN:VCARD\nFN:l\nLABEL:1 rue\nParis\nPHOTO;ENCODING=b:AAAA\nBBBB\nEND:VCARD\n",
        },
        600);
    expectSameReading(text, readVCardContacts, vcardPartStart);
}

TEST(ImportParts, tsvReadInPartsIsTheReadingOfTheWhole) {
    const std::string text = shuffled(
        {
            "Jean Dupont\t12 rue de la Paix\t01\t06\t\tj@x.fr\thttps://x.fr/\tun\\ncommentaire\n",
            "a\tb\n",
            "\xE9t\xE9\t\t\t\t\t\t\t\n",
            "a\t\t\\q\t\t\t\t\t\n",
            "d\t\t\t\t\t\tjavascript:alert(1)\t\n",
            "\n",
            "Zoé\t\t\t\t\t\t\t\r\n",
        },
        1500);
    expectSameReading(text, readTsvContacts, tsvPartStart);
}
