// Reaction terms of the water-quality components, against the rates written
// out by hand for a cell of known volume; the split into a gain and an
// implicit loss must add up to the same rate.
#include <gtest/gtest.h>

#include "engine/quality/component_boundaries.h"
#include "engine/quality/reaction_terms.h"
#include "engine/state/fields.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_quality.h"
#include "engine/state/state_tables.h"
#include "tests/support/case_folder.h"
#include "tests/support/grids.h"

namespace zefra {
namespace {

// Cells of 2 m x 1 m x 0.5 m (water mass 1000 kg); three components with
// values that differ by component and layer.
class ReactionTerms : public ::testing::Test {
protected:
    test::CaseFolder folder;  // the allocator writes its log here

    void SetUp() override
    {
        NoComponents = 3;
        test::box_grid(5, 5, 5, 2.0, 1.0, 0.5);
        for (int m = 0; m < 3; ++m)
            for (int i = 0; i <= xnumber + 2; ++i)
                for (int j = 0; j <= ynumber + 2; ++j)
                    for (int k = 0; k <= znumber + 2; ++k) comp[m][i][j][k] = (m + 1) * 0.5 + 0.1 * k;
    }

    // The rate a term adds in cell (3, 3, 3) at the present concentration of m.
    static double rate(const QTerm& t, int m)
    {
        const Reaction r = term_in_cell(t, m, 3, 3, 3);
        EXPECT_GE(r.loss, 0.0);
        return r.gain - r.loss * comp[m][3][3][3];
    }
};

TEST_F(ReactionTerms, RatesOfEveryTypeAsWrittenByHand)
{
    const double w = 1000.0, c0 = comp[0][3][3][3], c1 = comp[1][3][3][3], c2 = comp[2][3][3][3];
    EXPECT_NEAR(2.0 * m_armap[3][3] * m_dist_z[3][3][3] * 1000.0, w, 1e-9);  // the cell's water mass
    EXPECT_NEAR(rate({0, 1, 0, 0, 0.25, 0.0}, 0), 0.25 * w, 1e-9);
    EXPECT_NEAR(rate({0, 2, 1, 0, -0.3, 0.0}, 0), -0.3 * w * c1, 1e-9);
    EXPECT_NEAR(rate({0, 2, 0, 0, -0.3, 0.0}, 0), -0.3 * w * c0, 1e-9);
    EXPECT_NEAR(rate({0, 3, 1, 2, -0.2, 0.0}, 0), -0.2 * w * c1 * c2, 1e-9);
    EXPECT_NEAR(rate({1, 3, 0, 1, -0.2, 0.0}, 1), -0.2 * w * c0 * c1, 1e-9);
    EXPECT_NEAR(rate({0, 4, 1, 2, 0.2, 0.0}, 0), std::max(0.2 * c1 * c2, c2) * w, 1e-9);
    EXPECT_NEAR(rate({1, 1002, 0, 0, 0.4, 8.0}, 1), 0.4 * w * (8.0 - c1), 1e-9);
    EXPECT_NEAR(rate({1, 1002, 0, 0, 0.4, c1}, 1), 0.0, 1e-12);  // already at the level
    // Settling at 0.01 m/s through the 2 m2 plan area of the cell.
    EXPECT_NEAR(rate({2, 5, 0, 0, 0.01, 0.0}, 2), 0.01 * 1000.0 * 2.0 * (comp[2][3][3][4] - c2), 1e-9);
    EXPECT_EQ(rate({0, 77, 0, 0, 1.0, 0.0}, 0), 0.0);
    // Own consumption goes into the central coefficient.
    EXPECT_NEAR(term_in_cell({0, 2, 0, 0, -0.3, 0.0}, 0, 3, 3, 3).loss, 0.3 * w, 1e-9);
}

TEST_F(ReactionTerms, SurfaceAndBedFormsActOnlyInTheirLayer)
{
    NoTerms = 2;
    QTerms[0] = {1, 1002, 0, 0, 0.5, 8.0};   // reaeration of component 1 at the surface
    QTerms[1] = {0, 2002, 0, 0, -0.1, 0.0};  // decay of component 0 in the bed cell
    wap.fill(0.0);
    source.fill(0.0);
    add_reaction_terms(1);
    for (int k = 2; k <= znumber; ++k) {
        EXPECT_EQ(source[3][3][k], k == znumber ? 0.5 * 1000.0 * 8.0 : 0.0);
        EXPECT_EQ(wap[3][3][k], k == znumber ? 0.5 * 1000.0 : 0.0);
    }
    add_reaction_terms(0);
    EXPECT_NEAR(wap[2][4][2], 0.1 * 1000.0, 1e-9);
    EXPECT_EQ(wap[2][4][3], 0.0);
}

TEST_F(ReactionTerms, FixedBoxesSetTheirComponentOnly)
{
    BorderSourceNo = 2;
    BorderSource[0] = {1, 1, 2, 5, 2, 5, 1, 4.5, 0.0, 1e20, 17};
    BorderSource[1] = {1, 6, 1, 6, 1, 6, -1, 9.0, 0.0, 1e20, 17};  // disabled
    impose_fixed_boxes();
    EXPECT_EQ(comp[1][1][3][4], 4.5);
    EXPECT_EQ(comp[0][1][3][4], 0.5 + 0.4);
    EXPECT_EQ(comp[2][4][4][4], 1.5 + 0.4);
}

}  // namespace
}  // namespace zefra
