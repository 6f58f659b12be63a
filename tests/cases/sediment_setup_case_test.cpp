// Sediment set-up on a computed flow, through the program entry: a straight
// sand-bed channel 1 km long, 12 m wide, 2 m deep at normal depth (Strickler
// 40, slope 4e-4), run with "F 2 WI".  Letter I must leave van Rijn bed
// concentrations of the bed shear the flow left, Rouse profiles above the bed
// cell, and an inflow profile that carries the given load of each size.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "engine/driver/entry.h"
#include "engine/grid/columns.h"
#include "engine/state/fields.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_sediment.h"
#include "tests/support/case_folder.h"

namespace zefra {
namespace {

constexpr double Slope = 4e-4;
const double Size[] = {0, 0.0005, 0.0002}, Fall[] = {0, 0.07, 0.025}, Share[] = {0, 0.4, 0.6}, Load[] = {0, 3.0, 5.0};

// Q = 40 A R^(2/3) S^(1/2) with A = 24 m2, R = 1.5 m: 25.159 m3/s for 2 m depth.
std::string channel_control(const std::string& extra)
{
    std::string grid;
    char line[160];
    for (int i = 1; i <= 21; ++i)
        for (int j = 1; j <= 7; ++j) {
            std::snprintf(line, sizeof line, "%d %d %.3f %.3f %.6f\n", i, j, 50.0 * (i - 1), 2.0 * (j - 1), 100.0 - Slope * 50.0 * (i - 1));
            grid += line;
        }
    test::write_file("koordina", grid);
    return "G 1 21 7 8 2\nG 3 0 5 12 22 35 52 74 100\nW 1 40 25.159 101.6\nK 5 0 0 0 1 0 0\n"
           "S 1 0.0005 0.07\nS 2 0.0002 0.025\nN 1 1 0.4\nN 1 2 0.6\nB 1 1 21 1 7\nI 1 3.0\nI 2 5.0\n" +
           extra;
}

constexpr auto run = &test::run_case;

bool logged(const std::string& text)
{
    return test::log_text().find(text) != std::string::npos;
}

// van Rijn's reference concentration at the level a for the bed shear tau:
// 0.015 d T^1.5 / (a D*^0.3), T = tau / tau_c - 1, tau_c = 0.047 (s - 1) rho g d.
double van_rijn(double tau, double d, double a)
{
    const double tau_c = 0.047 * 1.65 * 9810.0 * d;
    const double d_star = d * std::pow(1.65 * 9.81 / 1e-12, 0.3333);
    return 0.015 * d * std::pow(tau / tau_c - 1.0, 1.5) / (a * std::pow(d_star, 0.3));
}

TEST(SedimentSetupCase, BedConcentrationsProfilesAndInflowLoad)
{
    test::CaseFolder folder;
    ASSERT_EQ(run(channel_control("F 2 WI\n")), 1);
    ASSERT_TRUE(logged("Solution converged\n"));
    EXPECT_TRUE(logged("Using van Rijn's method with parameters: 0.015000 1.500000 0.300000\nHave calculated bed sediment concentration\n"));
    EXPECT_TRUE(logged("No conres file: the set-up values stay\nNo fracres file: the set-up values stay\n"
                       "Have not read both conres and fracres files \n"));

    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            const double bed = centre_level(i, j, 2);
            const double a = bed - corner_mean(i, j, [](int p, int q) { return zval[p][q][1]; });  // half the bed cell
            const double H = column_top(i, j) - bed;  // from the bed-cell centre to the surface
            const double tau = bedshear[i][j];
            for (int l = 1; l <= 2; ++l) {
                ASSERT_NEAR(conc[l][i][j][0] / van_rijn(tau, Size[l], a), 1.0, 1e-9) << l << " " << i << " " << j;
                const double c_b = conc[l][i][j][0] * Share[l] + 1e-15;
                EXPECT_NEAR(conc[l][i][j][2] / c_b, 1.0, 1e-12);
                const double Z = Fall[l] / (0.4 * std::sqrt(tau / 1000.0));
                for (int k = 3; k <= znumber; ++k) {
                    const double z = centre_level(i, j, k) - bed;
                    const double rouse = c_b * std::pow((H - z) / z * a / (H - a), Z);
                    ASSERT_NEAR(conc[l][i][j][k] / rouse, 1.0, 1e-9) << l << " " << i << " " << j << " " << k;
                }
            }
            for (int k = 2; k <= znumber; ++k) EXPECT_NEAR(conc[0][i][j][k], conc[1][i][j][k] + conc[2][i][j][k], 1e-18);
        }

    // The inflow face carries the given load of each size, kg/s.
    for (int l = 1; l <= 2; ++l) {
        double load = 0.0;
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 2; k <= znumber; ++k) load += xvel[1][j][k] * m_ar_x[1][j][k] * conc[l][1][j][k] * 2650.0;
        EXPECT_NEAR(load / Load[l], 1.0, 1e-9) << "size " << l;
    }
}

// Every transport formula gives an ordinary concentration on this sand bed.
TEST(SedimentSetupCase, EveryFormulaGivesAnOrdinaryBedConcentration)
{
    ZEFRA_HEAVY_CASE();
    for (char formula : {'E', 'M', 'I', 'A', 'S', 'Y'}) {
        test::CaseFolder folder;
        ASSERT_EQ(run(channel_control(std::string("F 10 ") + formula + "\nF 2 WI\n")), 1);
        for (int l = 1; l <= 2; ++l)
            for (int i = 2; i <= xnumber; ++i)
                for (int j = 2; j <= ynumber; ++j) {
                    ASSERT_GT(conc[l][i][j][0], 0.0) << formula << " " << l << " " << i << " " << j;
                    ASSERT_LT(conc[l][i][j][0], MaxBedConc) << formula << " " << l << " " << i << " " << j;
                }
    }
}

}  // namespace
}  // namespace zefra
