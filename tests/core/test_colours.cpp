#include <gtest/gtest.h>

#include "display/Colours.h"

namespace qm {
namespace {

TEST(Spectra, InterpolatedSpectraExamples) {
    EXPECT_EQ(spectrumColour(2, 0, 1), 0x0000FFu);
    EXPECT_EQ(spectrumColour(2, 1, 1), 0xFF00FFu);
    EXPECT_EQ(spectrumColour(3, 1, 1), 0x00FF80u);
    // Bias 0.49 rounds 127.5 down.
    EXPECT_EQ(spectrumColour(3, 1, 3), rgb(127, 255, 0));
    EXPECT_EQ(spectrumColour(3, 0, 3), rgb(0, 0, 255));
    EXPECT_EQ(spectrumColour(3, 2, 3), rgb(255, 0, 0));
}

TEST(Spectra, EndsAreTheFirstAndLastNodes) {
    for (int n = 2; n <= 64; ++n) {
        EXPECT_EQ(spectrumColour(n, 0, 2), rgb(255, 255, 0)) << n;
        EXPECT_EQ(spectrumColour(n, n - 1, 2), Black) << n;
        EXPECT_EQ(spectrumColour(n, n - 1, 1), rgb(255, 0, 255)) << n;
    }
}

TEST(Spectra, WholeNodePositionsHitTheNodes) {
    // n = 6 puts every state of spectrum 1 exactly on a node.
    EXPECT_EQ(spectrumColour(6, 1, 1), rgb(255, 127, 0));
    EXPECT_EQ(spectrumColour(6, 3, 1), rgb(0, 255, 0));
    EXPECT_EQ(spectrumColour(6, 4, 1), rgb(0, 0, 255));
}

TEST(Spectra, GreyRamp) {
    EXPECT_EQ(spectrumColour(2, 0, 4), rgb(65, 65, 65));
    EXPECT_EQ(spectrumColour(2, 1, 4), rgb(145, 145, 145));
    EXPECT_EQ(spectrumColour(64, 63, 4), rgb(223, 223, 223));
}

TEST(Spectra, UnknownSpectrumIsSpectrumOne) {
    EXPECT_EQ(spectrumColour(3, 1, 0), spectrumColour(3, 1, 1));
    EXPECT_EQ(spectrumColour(3, 1, 7), 0x00FF80u);
}

TEST(StateColourTable, FirstActivation) {
    StateColourTable table{};
    fillInitialStateColours(table, 0);
    EXPECT_EQ(table[0], White);
    EXPECT_EQ(table[1], rgb(255, 243, 0));
    EXPECT_EQ(table[63], Black);
}

TEST(StateColourTable, RebuildKeepsEntriesAboveN) {
    StateColourTable table{};
    fillInitialStateColours(table, 0);
    const StateColourTable before = table;

    rebuildStateColours(table, 3, 1, DefaultViewBackground);
    EXPECT_EQ(table[0], DefaultViewBackground);
    EXPECT_EQ(table[1], 0x0000FFu);
    EXPECT_EQ(table[2], 0x00FF80u);
    EXPECT_EQ(table[3], 0xFF00FFu);
    for (int v = 4; v < 65; ++v) EXPECT_EQ(table[v], before[v]) << v;
}

TEST(StateColourTable, SixtyFourStatesColourTheirLastCellValue) {
    StateColourTable table{};
    table.fill(0x123456);
    rebuildStateColours(table, 64, 4, 0xABCDEF);
    EXPECT_EQ(table[0], 0xABCDEFu);
    EXPECT_EQ(table[1], rgb(65, 65, 65));
    EXPECT_EQ(table[63], spectrumColour(64, 62, 4));
    EXPECT_EQ(table[64], spectrumColour(64, 63, 4)) << "state 63 is cell value 64";
}

}  // namespace
}  // namespace qm
