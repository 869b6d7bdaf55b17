#include "SiteNames.h"

#include <gtest/gtest.h>

namespace {

TEST(SiteNames, ReadablePartIsAsciiWithSingleDashes) {
    const struct {
        const char* name;
        const char* readable;
    } cases[] = {
        {"Old Guard Grenadier", "old-guard-grenadier"},
        {"Knight, 1450 (Mounted)", "knight-1450-mounted"},
        {"Épée à l'œuvre", "epee-a-l-oeuvre"},
        {"Гусар", "gusar"},
        {"  ***  ", "figure"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SiteNames::Readable(QString::fromUtf8(c.name), "figure"), c.readable) << c.name;
}

TEST(SiteNames, StemStaysWhenAnotherRecordIsRenamedOrAdded) {
    SiteNames before("figure");
    before.Add("A", "Hussar");
    before.Add("B", "Lancer");
    SiteNames after("figure");
    after.Add("B", "Hussar");
    after.Add("C", "Hussar");
    after.Add("A", "Hussar");
    EXPECT_EQ(before.Stem("A"), "hussar-" + SiteNames::KeyPiece("A"));
    EXPECT_EQ(after.Stem("A"), before.Stem("A"));
    EXPECT_NE(after.Stem("B"), after.Stem("A"));
}

TEST(SiteNames, ClashingShortPiecesAreLengthened) {
    // Both keys' hashes begin with the same six digits.
    ASSERT_EQ(SiteNames::KeyPiece("K3880"), SiteNames::KeyPiece("K5962"));
    SiteNames names("figure");
    names.Add("K3880", "Drummer");
    names.Add("K5962", "Drummer");
    names.Add("K1", "Drummer");
    EXPECT_EQ(names.Stem("K3880"), "drummer-e5f6217f9540");
    EXPECT_EQ(names.Stem("K5962"), "drummer-e5f6218cbfc5");
    EXPECT_EQ(names.Stem("K1"), "drummer-" + SiteNames::KeyPiece("K1"));
}

} // namespace
