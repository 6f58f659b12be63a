// F data sets: the value stored on good input, values at the limits, and the
// exact message and status of each kind of bad input.
#include <gtest/gtest.h>

#include <omp.h>

#include <cmath>
#include <string>
#include <variant>

#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_output.h"
#include "engine/state/state_plugins.h"
#include "engine/state/state_porous.h"
#include "engine/state/state_quality.h"
#include "engine/state/state_run.h"
#include "engine/state/state_sediment.h"
#include "engine/state/state_surface.h"
#include "engine/state/state_turbulence.h"
#include "tests/support/case_folder.h"

namespace zefra {
namespace {

// One or more bad values for every F data set that has a check.
const test::Rejected rejected[] = {
    {"F 4 0.5 100", 1, "Error for F 4 in control"},  // only two fields
    {"F 4 10.5 100 1e-3", 1, "Error for F 4 in control"},
    {"F 5 100.01", 1, "Error for F 5 in control"},
    {"F 8 -0.1", 1, "Error for F 8 in control"},
    {"F 9 0.09", 1, "Error for F 9 in control"},
    {"F 10 Q", 1, "Error for F 10 in control"},
    {"F 11 0.99 0.05", 1, "Error for F 11 in control"},
    {"F 11 2.65 0.11", 1, "Error for F 11 in control"},
    {"F 12 0", 1, "Error for F 12 in control"},
    {"F 12 50.5", 1, "Error for F 12 in control"},
    {"F 13 5.1", 1, "Error for F 13 in control"},
    {"F 14 -1", 1, "Error for F 14 in control"},
    {"F 15 21", 1, "Error for F 15 in control"},
    {"F 16 10.5", 1, "Error for F 16 in control"},
    {"F 17 1e-11", 1, "Error for F 17 in control"},
    {"F 18 5e-5", 1, "Error for F 18 in control"},
    {"F 19 11", 1, "Error for F 19 in control"},
    {"F 20 0", 1, "Error for F 20 in control"},
    {"F 21 -1.5", 1, "Error for F 21 in control"},
    {"F 22 0.0001 1", 1, "Error for F 22 in control"},
    {"F 22 0.5 11", 1, "Error for F 22 in control"},
    {"F 23 1.5 0", 1, "Error for F 23 in control"},
    {"F 23 0.5 -1", 1, "Error for F 23 in control"},
    {"F 24 99999999999", 1, "Error for F 24 in control"},  // held at the integer limit, not wrapped
    {"F 25 0.3 2 0.5 0.8 8", 1, "Error for F 25 in control"},
    {"F 25 0.3 2 1.5 0.8 5", 1, "Error for F 25 in control"},
    {"F 26 15.5", 1, "Error for F 26 in control"},
    {"F 27 11", 1, "Error for F 27 in control"},
    {"F 28 2 2 10 1", 1, "Error for F 28 in control"},
    {"F 28 1 2 10 101", 1, "Error for F 28 in control"},
    {"F 30 0 1 2 7 0 0", 1, "Error for F 30 in control"},
    {"F 31 1 10.5", 1, "Error for F 31 in control"},
    {"F 32 1001", 1, "Error for F 32 in control"},
    {"F 33 1.0 -1", 1, "Error for F 33 in control"},
    {"F 34 -0.001", 1, "Error for F 34 in control"},
    {"F 35 1.01", 1, "Error for F 35 in control"},
    {"F 36 7", 1, "Error for F 36 in control"},
    {"F 37 3", 1, "Error for F 37 in control"},
    {"F 38 -1", 1, "Error for F 38 in control"},
    {"F 39 -1", 1, "Error for F 39 in control"},
    {"F 40 10.1", 1, "Error for F 40 in control"},
    {"F 41 0", 1, "Error for F 41 in control"},
    {"F 42 -10001", 1, "Error for F 42 in control"},
    {"F 43 2", 1, "Error for F 43 in control"},
    {"F 44 2", 1, "Error for F 44 in control"},
    {"F 45 1", 1, "Data set F 45 in control is not used any more\nInstead, use data set F 58 \n"},
    {"F 46 0", 1, "Error for F 46 in control"},
    {"F 46 21", 1, "Error for F 46 in control"},
    {"F 47 -1", 1, "Error for F 47 in control"},
    {"F 48 41", 1, "Error for F 48 in control"},
    {"F 49 2", 1, "Error for F 49 in control"},
    {"F 50 11", 1, "Error for F 50 in control"},
    {"F 51 -2.1", 1, "Error for F 51 in control"},
    {"F 52 10 1.5 0.6", 1, "Error for F 52 in control"},
    {"F 52 0 0.5 0.5", 1, "Error for F 52 in control"},
    {"F 52 10 0.5", 1, "Error for F 52 in control"},
    {"F 53 100 100 0 1", 1, "Error for F 53 in control"},
    {"F 53 100 100 1", 1, "Error for F 53 in control"},
    {"F 54 -1", 1, "Error for F 54 in control"},
    {"F 55 -1", 1, "Error for F 55 in control"},
    {"F 56 -1 1", 1, "Error for F 56 in control"},
    {"F 57 -1", 1, "Error for F 57 in control"},
    {"F 58 1 0 0 2 0.02 2 2 0 1 0", 1, "Error for F 58 in control"},
    {"F 58 1 0 0 1 0.02 5.5 2 0 1 0", 1, "Error for F 58 in control"},
    {"F 58 1 0 0 1 0.02 2 2 -0.001 1 0", 1, "Error for F 58 in control"},
    {"F 58 1 2 0 1 0.02 2 2 0 1 0", 1, "Error for F 58 in control"},
    {"F 58 1 0 0 1 -0.1 2 2 0 1 0", 1, "Error for F 58 in control"},
    {"F 58 1 0 0 1 0.02 2 6 0 1 0", 1, "Error for F 58 in control"},
    {"F 58 1 0 0 1 0.02 2 2 0 5.1 0", 1, "Error for F 58 in control"},
    {"F 58 1 0 0 1 0.02 2 2 0 1 -1", 1, "Error for F 58 in control"},
    {"F 59 0", 1, "Error for F 59 in control"},
    {"F 60 0 2", 1, "Error for F 60 in control"},
    {"F 63 11", 1, "Error for F 63 in control"},
    {"F 68 11", 1, "Error for F 68 in control"},
    {"F 69 1 2 3 4 5 6", 1, "Error for F 69 in control"},
    {"F 73 101", 1, "Error for F 73 in control"},
    {"F 78 -1 0.5", 1, "Error for F 78 in control"},
    {"F 81 0", 1, "Error for F 81 in control"},
    {"F 83 1 2 3", 1, "Error for F 83 in control"},
    {"F 84 -1", 1, "Error for F 84 in control"},
    {"F 84 3", 1, "Error for F 84 in control"},  // no reference concentration of that form
    {"F 90 11", 1, "Error for F 90 in control"},
    {"F 100 -1", 1, "Error for F 100 in control"},
    {"F 103 x", 1, "Error for F 103 in control"},
    {"F 106 1e-11", 1, "Error for F 106 in control"},
    {"F 106 -2e5", 1, "Error for F 106 in control"},
    {"F 107 -1", 1, "Error for F 107 in control"},
    {"F 108 -0.1", 1, "Error for F 108 in control"},
    {"F 109 1 1 1.5", 1, "Error for F 109 in control"},
    {"F 111 -1", 1, "Error for F 111 in control"},
    {"F 129 -2", 1, "Error for F 129 in control"},
    {"F 131 20 0.5", 1, "Error for F 131 in control - index\n"},
    {"F 131 3 -0.5", 1, "Error for F 131 in control - negative cohesion\n"},
    {"F 131 3 x", 1, "Error for F 131 in control - negative cohesion\n"},
    {"F 133 1e-11 5", 1, "Error for F 133 in control"},
    {"F 139 1 -1", 1, "Error for F 139 in control\n"},
    {"F 142 1e-11", 1, "Error for F 142 in control"},
    {"F 143 -1", 1, "Error for F 143 in control\n"},
    {"F 154 -1 0.3", 1, "Error for F 154 in control\n"},
    {"F 144 -1 0.5", 1, "Error for F 144 in control\n"},
    {"F 149 1", 1, "Error for F 149 in control\n"},
    {"F 151 1", 1, "Error for F 151 in control\n"},
    {"F 169 1", 1, "Error for F 169 in control\n"},
    {"F 174 x", 1, "Error for F 174 in control\n"},
    {"F 195 0.1", 1, "Error for F 195 in control\n"},
    {"F 198 y", 1, "Error for F 198 in control\n"},
    {"F 199 1.0 0", 1, "Error for F 199 in control"},
    {"F 200 0 1e-4", 1, "Error for F 200 in control"},
    {"F 200 0 -1e-4 1e-4", 1, "Error for F 200 in control"},
    {"F 206 x", 1, "Error for F 206 in control"},
    {"F 207 1 -1", 1, "Error for F 207 in control\n"},
    {"F 208 none", 1, "Error for F 208 in control\n"},
    {"F 211 -1", 1, "Error for F 211 in control\n"},
    {"F 7 NBF", -1, "Error for F 2 data set in control file\n"},
    {"F 7 S", -1, "Error for F 2 data set in control file\n"},
};

TEST(FDataSets, EachBadValueEndsTheRunWithItsMessage)
{
    for (const test::Rejected& r : rejected)
        EXPECT_TRUE(test::control_rejected(test::control_with(r.data_sets + "\n", 6, 5, 4, 2), r.status, r.log_tail));
}

using Target = std::variant<int*, long*, double*, char*>;

struct Accepted {
    const char* data_set;
    Target target;
    double value;
};

// Good values, most of them at the limits of their range.
const Accepted accepted[] = {
    {"F 1 D", &debugging, 'D'},
    {"F 3 1e-4", &convergence, 1e-4},
    {"F 4 10 250 1e-3", &relax_morph, 10},
    {"F 4 0 250 1e-3", &iter_morph, 250},
    {"F 5 100", &SinReposeAngle, 100},
    {"F 6 0.1 0.2 0.3", &ConcFormDstar, 0.3},
    {"F 8 1", &MaxBedChange, 1},
    {"F 9 0.1", &EddyMult, 0.1},
    {"F 10 E", &SedimentFormula, 'E'},
    {"F 11 10 -0.1", &shieldscoeff, -0.1},
    {"F 13 5", &StressDiff, 5},
    {"F 14 5e10", &ArtDiff, 5e10},
    {"F 15 -3", &FlagWallAll, -3},
    {"F 16 0", &XksWall, 0},
    {"F 17 1e-10", &TimeStep, 1e-10},
    {"F 18 100", &SourDens, 100},
    {"F 19 10", &InitPres, 10},
    {"F 20 4", &IterF2, 4},
    {"F 21 -1", &RelaxRhieChow, -1},
    {"F 22 0.001 -1", &RelaxPorosity, -1},
    {"F 23 1 0", &FillPart, 1},
    {"F 24 20", &TurbulenceModel, 20},
    {"F 25 1 10 0.001 1 7", &DiamPoros, 7},
    {"F 26 15", &ConvCoef, 15},
    {"F 27 10", &SedimentScheme, 10},
    {"F 28 1 0 0 100", &ADSmearLim, 100},
    {"F 30 6 5 4 3 2 1", &BedFlags[5], 1},
    {"F 31 10 0", &PorosMult1, 10},
    {"F 32 1000", &twoDratio, 1000},
    {"F 33 1e-20 0", &TransInnerIter, 0},
    {"F 34 0", &ArtEddyVisc, 0},
    {"F 35 0", &relaxBedShear, 0},
    {"F 36 6", &FlagTFS, 6},
    {"F 37 2", &FlagTSC, 2},
    {"F 38 0", &InputErrorLimit, 0},
    {"F 39 0", &AccBedChange, 0},
    {"F 40 10", &relaxDensityTurb, 10},
    {"F 41 10000", &LowerBedDepth, 10000},
    {"F 42 -10000", &LowerBedLevel, -10000},
    {"F 43 1", &FlagUnderflow, 1},
    {"F 46 20", &FlagPresGrad, 20},
    {"F 47 0", &InterLimit, 0},
    {"F 48 40", &FlagInterpolVal, 40},
    {"F 49 1", &FlagTemp, 1},
    {"F 50 10", &NoComponents, 10},
    {"F 51 -2", &Coriolis, -2},
    {"F 52 1e-7 -1 1", &Wind[2], 1},
    {"F 53 1 0 1 1", &PrintIterRes, 0},
    {"F 54 0", &TimeBreakLimit, 0},
    {"F 55 0", &MaxBedConc, 0},
    {"F 56 0 0", &AngleAvalanche, 0},
    {"F 57 0", &TFSuslope, 0},
    {"F 58 0 1 1 0 0 5 0 -1e-4 5 0.3", &TFSuslope, 0.3},
    {"F 58 0 1 1 0 0 5 0 -1e-4 5 0.3", &TFSdampwall, 5},
    {"F 59 1", &GaussIter, 1},
    {"F 60 1 1", &TSCbedforms, 1},
    {"F 68 10", &Hydrostatic, 10},
    {"F 69 1 2 3 4 5 6 7", &Seiche7, 7},
    {"F 73 100", &WindFlag, 100},
    {"F 78 0 0.5", &BedLoadVectorParam, 0.5},
    {"F 81 1", &ArrayTimeSteps, 1},
    {"F 83 1 2 3 4", &ConcFormBD50, 4},
    {"F 84 0", &BedLoadFlag, 0},
    {"F 90 10", &FlagRoughness, 10},
    {"F 103 3", &Flag2BedRoughness, 3},
    {"F 106 -1e5", &maxgrain, -1e5},
    {"F 107 2", &TFSflagUpwater, 2},
    {"F 108 0", &TFSminDepth, 0},
    {"F 109 0 0 1", &BedCritMinDamp, 1},
    {"F 111 1", &FlagBedDLL, 1},
    {"F 113 2", &FlagRhieChow, 2},
    {"F 115 1", &FlagDragDLL, 1},
    {"F 116 1", &FlagSurfDLL, 1},
    {"F 117 1", &FlagIODLL, 1},
    {"F 118 1", &FlagCofDLL, 1},
    {"F 119 1", &FlagPresDLL, 1},
    {"F 120 1", &FlagWallDLL, 1},
    {"F 121 1", &FlagTurbDLL, 1},
    {"F 122 1", &FlagCompDLL, 1},
    {"F 125 1", &FlagTSCDLL, 1},
    {"F 127 1", &FlagFlowDLL, 1},
    {"F 129 1", &FlagBedInterpol, 1},
    {"F 131 19 0", &cohesive[19], 0},
    {"F 131 1 2.5", &cohesive[1], 2.5},
    {"F 133 1e-10 1", &Plimit, 1e-10},
    {"F 139 0 0", &MinUPlusK, 0},
    {"F 142 1e-10", &SurfaceConvergenceCrit, 1e-10},
    {"F 143 0", &PresRegres, 0},
    {"F 144 0 -3", &ParamBedSmooth, -3},
    {"F 145 1", &FlagRoughnessDLL, 1},
    {"F 146 1", &FlagSuperCritical, 1},
    {"F 149 0 0", &TurbMultHor, 0},
    {"F 150 0 3", &WallChoiseSed, 3},
    {"F 151 0 0.05", &TSCMinDepth, 0.05},
    {"F 154 0 0.3", &SurfSmoothVal, 0.3},
    {"F 155 1 2", &Flag2BedChange, 2},
    {"F 158 1 0.3", &SentripentalVelo, 0.3},
    {"F 161 2", &FlagFluxTurb, 2},
    {"F 167 1", &FlagRoughSmooth, 1},
    {"F 169 -1 0.8", &HideExParam, 0.8},
    {"F 173 -1", &FlagBedshearGrad, -1},
    {"F 174 1 2", &FlagCyclicS, 2},
    {"F 176 1 0.5", &RBedformsmooth, 0.5},
    {"F 185 1 0.7", &SurfEpsCoeff, 0.7},
    {"F 189 7 0.3", &ParamScotti, 0.3},
    {"F 190 1", &FlagCohesive, 1},
    {"F 194 0.2", &TurbCoeffVeg, 0.2},
    {"F 195 0.1 0.2", &XksJ2, 0.2},
    {"F 196 1", &FlagMaxShear, 1},
    {"F 197 1", &DESFlag, 1},
    {"F 198 1", &FlagSlideDLL, 1},
    {"F 200 1 0 0", &FlagNormSet, 1},
    {"F 207 1 0 5", &NoLoopStress, 5},
    {"F 208 2", &FlagTimeOrder, 2},
    {"F 211 0", &ConvergenceCriteria, 0},
};

double value_of(const Target& t)
{
    return std::visit([](auto* p) { return static_cast<double>(*p); }, t);
}

TEST(FDataSets, GoodValuesAreStored)
{
    for (const Accepted& a : accepted) {
        test::CaseFolder folder;
        std::optional<int> status = test::read_control(test::control_with(std::string(a.data_set) + "\n", 6, 5, 4, 2));
        EXPECT_FALSE(status.has_value()) << a.data_set << " ended with " << status.value_or(0);
        EXPECT_EQ(value_of(a.target), a.value) << a.data_set;
    }
}

TEST(FDataSets, FieldsThatCannotBeConvertedKeepTheDefault)
{
    test::CaseFolder folder;
    EXPECT_FALSE(test::read_control(test::control_with("F 5 abc\nF 3 x\nF 9 nan\nF 1\n")).has_value());
    EXPECT_EQ(SinReposeAngle, 48.0);
    EXPECT_EQ(convergence, 1e-6);
    EXPECT_EQ(EddyMult, 1.0);
}

TEST(FDataSets, LaterDataSetOfTheSameNumberWins)
{
    test::CaseFolder folder;
    EXPECT_FALSE(test::read_control(test::control_with("F 59 3\nF 17 2.0\nF 59 7\nF 33 0.5 3\n")).has_value());
    EXPECT_EQ(GaussIter, 7);
    EXPECT_EQ(TimeStep, 0.5);
    EXPECT_NE(test::log_text().find("Transient inner iterations: 3\n"), std::string::npos);
}

TEST(FDataSets, DataSetMayRunOverSeveralLinesAndUnknownNumbersArePassedOver)
{
    test::CaseFolder folder;
    EXPECT_FALSE(test::read_control(test::control_with("F 4\n 0.3\n\n 200\n 1e-4\nF 29 5\nF 212 3\nF -4 7\nF 62 1\n")).has_value());
    EXPECT_EQ(relax_morph, 0.3);
    EXPECT_EQ(iter_morph, 200);
    EXPECT_EQ(conv_morph, 1e-4);
}

TEST(FDataSets, SchmidtNumbersForAllSizesAndPerSize)
{
    test::CaseFolder folder;
    EXPECT_FALSE(test::read_control(test::control_with("F 12 2.0\nF 199 0.5 1.0\n", 6, 5, 4, 3)).has_value());
    EXPECT_NEAR(invSchmidt[0], 0.5, 1e-15);
    EXPECT_NEAR(invSchmidt[1], 2.0, 1e-15);
    EXPECT_NEAR(invSchmidt[2], 1.0, 1e-15);
    EXPECT_NEAR(invSchmidt[3], 0.5, 1e-15);  // reading stopped early
    EXPECT_NEAR(invSchmidt[19], 0.5, 1e-15);
}

TEST(FDataSets, MessagesWithSideEffects)
{
    test::CaseFolder folder;
    EXPECT_FALSE(test::read_control(test::control_with("F 27 1\nF 100 1\nF 51 0.5\nF 63 1\nF 14 0.25\nF 23 0.5 2\n")).has_value());
    std::string log = test::log_text();
    EXPECT_NE(log.find("Using SOU scheme for sediment calculations\n"), std::string::npos);
    EXPECT_NE(log.find("Including Stress terms\n"), std::string::npos);
    EXPECT_NE(log.find("Warning: using artificial viscosity of 2.500000e-01\n"), std::string::npos);
    EXPECT_NE(log.find("Using accellertated deposition routine\n"), std::string::npos);
    EXPECT_EQ(FlagCoriolis, 1);
    EXPECT_EQ(sou[8], 1);
    EXPECT_EQ(sou[9], 1);
    EXPECT_TRUE(aee);  // SouComp = 1 asks for the second-neighbour coefficients
}

TEST(FDataSets, OptionalSecondIntegers)
{
    test::CaseFolder folder;
    EXPECT_FALSE(test::read_control(test::control_with("F 174 1 3\nF 174 1\nF 207 1 2\n")).has_value());
    EXPECT_EQ(FlagCyclic, 1);
    EXPECT_EQ(FlagCyclicS, 0);
    EXPECT_EQ(AllocStress1DLL, 2);
    EXPECT_EQ(NoLoopStress, 0);
}

TEST(FDataSets, LowerBedLimitOfTheDataSetReadLast)
{
    test::CaseFolder folder;
    EXPECT_FALSE(test::read_control(test::control_with("F 41 3.5\nF 42 -2\n")).has_value());
    EXPECT_EQ(FlagLowerBed, LowerBedRule::Level);
    EXPECT_FALSE(test::read_control(test::control_with("F 42 -2\nF 41 3.5\n")).has_value());
    EXPECT_EQ(FlagLowerBed, LowerBedRule::Depth);
}

TEST(FDataSets, OptionLetters)
{
    test::CaseFolder folder;
    EXPECT_FALSE(test::read_control(test::control_with("F 7 DPNBGVI\nF 7 ZXCEA\n")).has_value());
    // The second F 7 replaces the letters; the switches of the first stay set.
    EXPECT_FALSE(has_option('D'));
    EXPECT_TRUE(has_option('Z'));
    EXPECT_EQ(FlagBedPoros, 1);
    EXPECT_TRUE(Porosity);
    EXPECT_EQ(FlagBedGradient, 1);
    EXPECT_EQ(FlagBedslopeCorrection, 1);
    EXPECT_EQ(FlagBlockBorder, 1);
    EXPECT_EQ(FlagPlotVertical, 1);
    EXPECT_EQ(FlagInflowDirection, 1);
    EXPECT_EQ(FlagDiffNonVert, 0);
    EXPECT_EQ(FlagZ0Small, 1);
    EXPECT_EQ(FlagXCYC, 1);
    EXPECT_EQ(FlagInZero, 0);
    EXPECT_EQ(FlagFlowDirCor, 1);
}

TEST(FDataSets, OptionLettersStopAtEightCharactersOrTheLineEnd)
{
    test::CaseFolder folder;
    // Blank, D, P and the line end are taken; the next line is a data set again.
    // (A grid thinned in i needs an odd number of node lines.)
    EXPECT_FALSE(test::read_control(test::control_with("F 7 DP\nF 59 4\n", 7)).has_value());
    EXPECT_TRUE(has_option('D'));
    EXPECT_TRUE(has_option('P'));
    EXPECT_EQ(GaussIter, 4);
    // After eight characters the scanning goes on: the F of "F 59" is a data set.
    EXPECT_FALSE(test::read_control(test::control_with("F 7 abcdefgF 59 6\n")).has_value());
    EXPECT_EQ(GaussIter, 6);
}

TEST(FDataSets, RunStringKeepsWhatFitsAndTakesTheWholeLine)
{
    test::CaseFolder folder;
    EXPECT_FALSE(test::read_control(test::control_with("F 2 WSM\n")).has_value());
    EXPECT_STREQ(run, " WSM\n");
    std::string long_line = "F 2 " + std::string(40, 'W') + " F 20 3 G 1 2 2 2 2\nF 59 5\n";
    EXPECT_FALSE(test::read_control(test::control_with(long_line)).has_value());
    EXPECT_EQ(std::string(run), " " + std::string(18, 'W'));
    EXPECT_EQ(IterF2, 1);  // the rest of the line is no data set
    EXPECT_EQ(GaussIter, 5);
    EXPECT_EQ(xnumber, 6);
}

TEST(FDataSets, RemarkInCapitalsWithANumberIsADataSet)
{
    test::CaseFolder folder;
    EXPECT_EQ(test::read_control(test::control_with("F 3 1e-5  see F 9 0.05 in the manual\n")), 1);
    EXPECT_TRUE(test::log_ends_with("Error for F 9 in control"));
    // Capitals without a number behind them start nothing.
    EXPECT_FALSE(test::read_control(test::control_with("F 59 3 For Gauss-Seidel, Fast\n")).has_value());
    EXPECT_EQ(GaussIter, 3);
}

TEST(FDataSets, ThreadCountIsAtMostTheMachinesMaximum)
{
    test::CaseFolder folder;
    int available = omp_get_max_threads();
    EXPECT_FALSE(test::read_control(test::control_with("F 206 100000\n")).has_value());
    EXPECT_EQ(NoProcessesSolver, available);
    EXPECT_EQ(omp_get_max_threads(), available);
    EXPECT_NE(test::log_text().find("Max. number of threads: " + std::to_string(available) + ", value F 206: 100000\n"),
              std::string::npos);
    EXPECT_FALSE(test::read_control(test::control_with("F 206 1\n")).has_value());
    EXPECT_EQ(NoProcessesSolver, 1);
    EXPECT_EQ(omp_get_max_threads(), 1);
    EXPECT_FALSE(test::read_control(test::control_with("F 206 0\n")).has_value());
    EXPECT_EQ(NoProcessesSolver, 1);  // at least one thread
    omp_set_num_threads(available);
}

}  // namespace
}  // namespace zefra
