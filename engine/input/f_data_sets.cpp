// F data sets of `control`: general parameters.  One table entry per data-set
// number; each reads its fields, checks them and stores them.  A value outside
// its range ends the run with "Error for F n in control" and status 1.
#include <omp.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "engine/common/boogie.h"
#include "engine/common/run_exit.h"
#include "engine/input/data_sets.h"
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

namespace zefra {

namespace {

constexpr int HighestF = 211;
constexpr int OptionLetters = 8;

using S = TextScanner;

[[noreturn]] void f_error(int n)
{
    // The message of these data sets ends with a line end; the others have none.
    bool newline = n == 139 || (n >= 143 && n <= 198) || (n >= 207 && n <= 211);
    log_and_end(1, newline ? "Error for F %d in control\n" : "Error for F %d in control", n);
}

void check(int n, bool ok)
{
    if (!ok) f_error(n);
}

// F 2: the rest of the line is the run-command string.  It starts with the
// character right behind the number (normally a blank) and ends with the line
// end, which is kept.  What does not fit is taken and dropped.
void read_run_string(S& s)
{
    std::memset(run, 0, sizeof run);
    int stored = 0;
    for (int c = s.get(); c != EOF; c = s.get()) {
        if (stored < RunStringSize - 1) run[stored++] = static_cast<char>(c);
        if (c == '\n') break;
    }
}

// F 7: up to eight option letters, until a line end.
void read_option_letters(S& s)
{
    std::memset(options, 0, sizeof options);
    for (int n = 1; n <= OptionLetters; ++n) {
        int c = s.get();
        if (c == EOF) return;
        options[n] = static_cast<char>(c);
        switch (c) {
        case 'N': FlagBedGradient = 1; break;
        case 'B': FlagBedslopeCorrection = 1; break;
        case 'G': FlagBlockBorder = 1; break;
        case 'V': FlagPlotVertical = 1; break;
        case 'I': FlagInflowDirection = 1; break;
        case 'A': FlagDiffNonVert = 0; break;
        case 'Z': FlagZ0Small = 1; break;
        case 'X': FlagXCYC = 1; break;
        case 'C': FlagInZero = 0; break;
        case 'P': FlagBedPoros = 1; break;
        case 'E': FlagFlowDirCor = 1; break;
        case 'F':
        case 'S': log_and_end(-1, "Error for F 2 data set in control file\n");
        default: break;  // D and J are read by the grid reader; others have no effect
        }
        if (c == '\n') return;
    }
}

// F 199: one Schmidt number per sediment size, as many as can be read.
void read_schmidt_per_size(S& s, int n)
{
    int sizes = std::min(lnumber, SizeCapacity - 1);
    for (int l = 1; l <= sizes; ++l) {
        double schmidt;
        if (!s.read(schmidt)) return;
        check(n, schmidt > 0.0 && schmidt <= 50.0);
        invSchmidt[l] = 1.0 / (schmidt + 1e-20);
    }
}

// F 206: number of worker threads, at most what the machine offers.
void read_thread_count(S& s, int n)
{
    int wanted;
    check(n, s.scan("%d", &wanted) == 1);
    int available = omp_get_max_threads();
    log_append("Max. number of threads: %d, value F 206: %d\n", available, wanted);
    NoProcessesSolver = std::max(1, std::min(available, wanted));
    omp_set_num_threads(NoProcessesSolver);
}

struct FEntry {
    int number;
    void (*read)(S&, int n);
};

// clang-format off
const FEntry f_data_sets[] = {
    {1, [](S& s, int) { s.read(debugging); }},
    {2, [](S& s, int) { read_run_string(s); }},
    {3, [](S& s, int) { s.scan("%lf", &convergence); }},
    {4, [](S& s, int n) { check(n, s.scan("%lf %d %lf", &relax_morph, &iter_morph, &conv_morph) == 3 && in_range(relax_morph, 0, 10)); }},
    {5, [](S& s, int n) { s.scan("%lf", &SinReposeAngle); check(n, in_range(SinReposeAngle, 0, 100)); }},
    {6, [](S& s, int) { s.scan("%lf %lf %lf", &ConcFormCoeff, &ConcFormTstar, &ConcFormDstar); }},
    {7, [](S& s, int) { read_option_letters(s); }},
    {8, [](S& s, int n) { s.scan("%lf", &MaxBedChange); check(n, in_range(MaxBedChange, 0, 1)); }},
    {9, [](S& s, int n) { s.scan("%lf", &EddyMult); check(n, in_range(EddyMult, 0.1, 10)); }},
    {10, [](S& s, int n) { s.read(SedimentFormula); check(n, std::strchr("REMYSAI", SedimentFormula) && SedimentFormula); }},
    {11, [](S& s, int n) { s.scan("%lf %lf", &density, &shieldscoeff); check(n, in_range(density, 1, 10) && in_range(shieldscoeff, -0.1, 0.1)); }},
    {12, [](S& s, int n) {
         s.scan("%lf", &Schmidt);
         check(n, Schmidt > 0.0 && Schmidt <= 50.0);
         std::fill(std::begin(invSchmidt), std::end(invSchmidt), 1.0 / Schmidt);
     }},
    {13, [](S& s, int n) { s.scan("%lf", &StressDiff); check(n, in_range(StressDiff, 0, 5)); }},
    {14, [](S& s, int n) { s.scan("%lf", &ArtDiff); check(n, in_range(ArtDiff, 0, 5e10)); }},
    {15, [](S& s, int n) { s.scan("%d", &FlagWallAll); check(n, FlagWallAll <= 20); }},
    {16, [](S& s, int n) { s.scan("%lf", &XksWall); check(n, in_range(XksWall, 0, 10)); }},
    {17, [](S& s, int n) { s.scan("%lf", &TimeStep); check(n, TimeStep >= 1e-10); }},
    {18, [](S& s, int n) { s.scan("%lf", &SourDens); check(n, in_range(SourDens, 1e-4, 100)); }},
    {19, [](S& s, int n) { s.scan("%lf", &InitPres); check(n, in_range(InitPres, 0, 10)); }},
    {20, [](S& s, int n) { s.scan("%d", &IterF2); check(n, IterF2 >= 1); }},
    {21, [](S& s, int n) { s.scan("%lf", &RelaxRhieChow); check(n, in_range(RelaxRhieChow, -1, 5)); }},
    {22, [](S& s, int n) { s.scan("%lf %lf", &MinPorosity, &RelaxPorosity); check(n, in_range(MinPorosity, 0.001, 1) && in_range(RelaxPorosity, -1, 10)); }},
    {23, [](S& s, int n) { s.scan("%lf %lf", &FillPart, &FillCriteria); check(n, in_range(FillPart, 0, 1) && FillCriteria >= 0); }},
    {24, [](S& s, int n) { s.scan("%d", &TurbulenceModel); check(n, TurbulenceModel <= 20); }},
    {25, [](S& s, int n) {
         s.scan("%lf %lf %lf %lf %d", &MinPorosity, &RelaxPorosity, &RoughPoros1, &RoughPoros2, &DiamPoros);
         check(n, in_range(MinPorosity, 0.001, 1) && in_range(RoughPoros1, 0.001, 1) && in_range(RoughPoros2, 0.001, 1) &&
                      DiamPoros >= 0 && DiamPoros <= 7 && in_range(RelaxPorosity, -1, 10));
     }},
    {26, [](S& s, int n) { s.scan("%lf", &ConvCoef); check(n, in_range(ConvCoef, 0, 15)); }},
    {27, [](S& s, int n) {
         s.scan("%d", &SedimentScheme);
         check(n, SedimentScheme <= 10);
         log_append("Using SOU scheme for sediment calculations\n");
     }},
    {28, [](S& s, int n) {
         s.scan("%d %d %d %lf", &ADFlag, &ADSmearNo, &ADConvNo, &ADSmearLim);
         check(n, ADFlag <= 1 && ADSmearNo >= 0 && ADConvNo >= 0 && in_range(ADSmearLim, 0, 100));
     }},
    {30, [](S& s, int n) {
         for (int b = 0; b <= 5; ++b) {
             s.scan("%d ", &BedFlags[b]);
             check(n, BedFlags[b] <= 6);
         }
     }},
    {31, [](S& s, int n) { s.scan("%lf %lf ", &PorosMult1, &PorosMult2); check(n, in_range(PorosMult1, 0, 10) && in_range(PorosMult2, 0, 10)); }},
    {32, [](S& s, int n) { s.scan("%lf ", &twoDratio); check(n, in_range(twoDratio, 0, 1000)); }},
    {33, [](S& s, int n) {
         s.scan("%lf %d", &TimeStep, &TransInnerIter);
         check(n, TimeStep >= 1e-20 && TransInnerIter >= 0);
         log_append("Transient inner iterations: %d\n", TransInnerIter);
     }},
    {34, [](S& s, int n) { s.scan("%lf", &ArtEddyVisc); check(n, ArtEddyVisc >= 0); }},
    {35, [](S& s, int n) { s.scan("%lf", &relaxBedShear); check(n, in_range(relaxBedShear, 0, 1)); }},
    {36, [](S& s, int n) { s.scan("%d", &FlagTFS); check(n, FlagTFS <= 6); }},
    {37, [](S& s, int n) { s.scan("%d", &FlagTSC); check(n, FlagTSC <= 2); }},
    {38, [](S& s, int n) { s.scan("%lf", &InputErrorLimit); check(n, InputErrorLimit >= 0); }},
    {39, [](S& s, int n) { s.scan("%lf", &AccBedChange); check(n, AccBedChange >= 0); }},
    {40, [](S& s, int n) { s.scan("%lf", &relaxDensityTurb); check(n, in_range(relaxDensityTurb, 0, 10)); }},
    {41, [](S& s, int n) {
         s.scan("%lf", &LowerBedDepth);
         check(n, LowerBedDepth > 0 && LowerBedDepth <= 10000);
         FlagLowerBed = LowerBedRule::Depth;
     }},
    {42, [](S& s, int n) {
         s.scan("%lf", &LowerBedLevel);
         check(n, in_range(LowerBedLevel, -10000, 10000));
         FlagLowerBed = LowerBedRule::Level;
     }},
    {43, [](S& s, int n) { s.scan("%d", &FlagUnderflow); check(n, FlagUnderflow <= 1); }},
    {44, [](S& s, int n) { s.scan("%d", &Flag2Dim); check(n, Flag2Dim <= 1); }},
    {45, [](S&, int) { log_and_end(1, "Data set F 45 in control is not used any more\nInstead, use data set F 58 \n"); }},
    {46, [](S& s, int n) { s.scan("%d", &FlagPresGrad); check(n, FlagPresGrad >= 1 && FlagPresGrad <= 20); }},
    {47, [](S& s, int n) { s.scan("%lf", &InterLimit); check(n, InterLimit >= 0); }},
    {48, [](S& s, int n) { s.scan("%d", &FlagInterpolVal); check(n, FlagInterpolVal <= 40); }},
    {49, [](S& s, int n) { s.scan("%d", &FlagTemp); check(n, FlagTemp <= 1); }},
    {50, [](S& s, int n) { s.scan("%d", &NoComponents); check(n, NoComponents <= 10); }},
    {51, [](S& s, int n) {
         s.scan("%lf", &Coriolis);
         check(n, std::fabs(Coriolis) <= 2);
         FlagCoriolis = 1;
     }},
    {52, [](S& s, int n) {
         check(n, s.scan("%lf %lf %lf", &Wind[0], &Wind[1], &Wind[2]) == 3 && std::fabs(Wind[1]) + std::fabs(Wind[2]) <= 2 &&
                      in_range(Wind[0], 1e-7, 1000));
     }},
    {53, [](S& s, int n) {
         check(n, s.scan("%d %d %d %d", &PrintIterBoogie, &PrintIterRes, &PrintIterForce, &PrintIterTime) == 4 &&
                      PrintIterBoogie >= 1 && PrintIterForce >= 1 && PrintIterTime >= 1);
     }},
    {54, [](S& s, int n) { s.scan("%lf", &TimeBreakLimit); check(n, TimeBreakLimit >= 0); }},
    {55, [](S& s, int n) { s.scan("%lf", &MaxBedConc); check(n, MaxBedConc >= 0); }},
    {56, [](S& s, int n) { s.scan("%d %lf", &IterAvalanche, &AngleAvalanche); check(n, IterAvalanche >= 0 && AngleAvalanche >= 0); }},
    {57, [](S& s, int n) { s.scan("%lf", &TFSuslope); check(n, TFSuslope >= 0); }},
    {58, [](S& s, int n) {
         s.scan("%d %d %d %d %lf %lf %lf %lf %lf %lf", &TFStimeterm, &TFSpreszero, &TFSmovewall, &TFSfroudeforward, &TFSdiffratio,
                &TFSdampwall, &TFSdampobs, &TFStopvelocity, &TFSforcesource, &TFSuslope);
         auto flag = [](int v) { return v == 0 || v == 1; };
         check(n, flag(TFStimeterm) && flag(TFSpreszero) && flag(TFSmovewall) && flag(TFSfroudeforward) && TFSdiffratio >= 0 &&
                      in_range(TFSdampwall, 0, 5) && in_range(TFSdampobs, 0, 5) && in_range(TFStopvelocity, -1e-4, 5) &&
                      in_range(TFSforcesource, -1e-4, 5) && TFSuslope >= 0);
     }},
    {59, [](S& s, int n) { s.scan("%d", &GaussIter); check(n, GaussIter >= 1); }},
    {60, [](S& s, int n) {
         s.scan("%d %d", &TSCbedrouse, &TSCbedforms);
         check(n, (TSCbedrouse == 0 || TSCbedrouse == 1) && (TSCbedforms == 0 || TSCbedforms == 1));
     }},
    {63, [](S& s, int n) {
         s.scan("%d", &SouComp);
         check(n, SouComp <= 10);
         if (SouComp == 1) sou[8] = sou[9] = 1;
     }},
    {68, [](S& s, int n) { s.scan("%d", &Hydrostatic); check(n, Hydrostatic <= 10); }},
    {69, [](S& s, int n) {
         check(n, s.scan("%d %d %d %d %d %d %d", &Seiche1, &Seiche2, &Seiche3, &Seiche4, &Seiche5, &Seiche6, &Seiche7) == 7);
     }},
    {73, [](S& s, int n) { check(n, s.scan("%d", &WindFlag) == 1 && WindFlag >= 0 && WindFlag <= 100); }},
    {78, [](S& s, int n) { check(n, s.scan("%d %lf", &BedLoadVectorFlag, &BedLoadVectorParam) == 2 && BedLoadVectorFlag >= 0); }},
    {81, [](S& s, int n) { check(n, s.scan("%d", &ArrayTimeSteps) == 1 && ArrayTimeSteps >= 1); }},
    {83, [](S& s, int n) {
         check(n, s.scan("%lf %lf %lf %lf", &ConcFormBCoeff, &ConcFormBTstar, &ConcFormBDstar, &ConcFormBD50) == 4);
     }},
    // 0 suspended load, 1 bed load, 2 both: no other form of the reference concentration exists.
    {84, [](S& s, int n) { check(n, s.scan("%d", &BedLoadFlag) == 1 && BedLoadFlag >= 0 && BedLoadFlag <= 2); }},
    {90, [](S& s, int n) { check(n, s.scan("%d", &FlagRoughness) == 1 && FlagRoughness >= 0 && FlagRoughness <= 10); }},
    {100, [](S& s, int n) {
         check(n, s.scan("%d", &StressFlag) == 1 && StressFlag >= 0);
         log_append("Including Stress terms\n");
     }},
    {103, [](S& s, int n) { check(n, s.scan("%d", &Flag2BedRoughness) == 1 && Flag2BedRoughness >= 0); }},
    {106, [](S& s, int n) { check(n, s.scan("%lf", &maxgrain) == 1 && in_range(std::fabs(maxgrain), 1e-10, 1e5)); }},
    {107, [](S& s, int n) { check(n, s.scan("%d", &TFSflagUpwater) == 1 && TFSflagUpwater >= 0); }},
    {108, [](S& s, int n) { check(n, s.scan("%lf", &TFSminDepth) == 1 && TFSminDepth >= 0); }},
    {109, [](S& s, int n) {
         check(n, s.scan("%lf %lf %lf", &BedCritTanSlopeUp, &BedCritTanSlopeDown, &BedCritMinDamp) == 3 && BedCritTanSlopeUp >= 0 &&
                      BedCritTanSlopeDown >= 0 && in_range(BedCritMinDamp, 0, 1));
     }},
    {111, [](S& s, int n) { check(n, s.scan("%d", &FlagBedDLL) == 1 && FlagBedDLL >= 0); }},
    {113, [](S& s, int n) { check(n, s.scan("%d", &FlagRhieChow) == 1 && FlagRhieChow >= 0); }},
    {115, [](S& s, int n) { check(n, s.scan("%d", &FlagDragDLL) == 1 && FlagDragDLL >= 0); }},
    {116, [](S& s, int n) { check(n, s.scan("%d", &FlagSurfDLL) == 1 && FlagSurfDLL >= 0); }},
    {117, [](S& s, int n) { check(n, s.scan("%d", &FlagIODLL) == 1 && FlagIODLL >= 0); }},
    {118, [](S& s, int n) { check(n, s.scan("%d", &FlagCofDLL) == 1 && FlagCofDLL >= 0); }},
    {119, [](S& s, int n) { check(n, s.scan("%d", &FlagPresDLL) == 1 && FlagPresDLL >= 0); }},
    {120, [](S& s, int n) { check(n, s.scan("%d", &FlagWallDLL) == 1 && FlagWallDLL >= 0); }},
    {121, [](S& s, int n) { check(n, s.scan("%d", &FlagTurbDLL) == 1 && FlagTurbDLL >= 0); }},
    {122, [](S& s, int n) { check(n, s.scan("%d", &FlagCompDLL) == 1 && FlagCompDLL >= 0); }},
    {125, [](S& s, int n) { check(n, s.scan("%d", &FlagTSCDLL) == 1 && FlagTSCDLL >= 0); }},
    {127, [](S& s, int n) { check(n, s.scan("%d", &FlagFlowDLL) == 1 && FlagFlowDLL >= 0); }},
    {129, [](S& s, int n) { check(n, s.scan("%d", &FlagBedInterpol) == 1 && FlagBedInterpol >= 0); }},
    {131, [](S& s, int) {
         int l = 0;
         if (s.scan("%d", &l) != 1 || l < 1 || l > 19) log_and_end(1, "Error for F 131 in control - index\n");
         if (s.scan("%lf", &cohesive[l]) != 1 || cohesive[l] < 0) log_and_end(1, "Error for F 131 in control - negative cohesion\n");
     }},
    {133, [](S& s, int n) { check(n, s.scan("%lf %d", &Plimit, &Pnloops) == 2 && Plimit >= 1e-10 && Pnloops >= 1); }},
    {139, [](S& s, int n) { check(n, s.scan("%lf %lf", &MinUPlus, &MinUPlusK) == 2 && MinUPlus >= 0 && MinUPlusK >= 0); }},
    {142, [](S& s, int n) { check(n, s.scan("%lf", &SurfaceConvergenceCrit) == 1 && SurfaceConvergenceCrit >= 1e-10); }},
    {143, [](S& s, int n) { check(n, s.scan("%d", &PresRegres) == 1 && PresRegres >= 0); }},
    {144, [](S& s, int n) { check(n, s.scan("%d %lf", &FlagBedSmooth, &ParamBedSmooth) == 2 && FlagBedSmooth >= 0); }},
    {145, [](S& s, int n) { check(n, s.scan("%d", &FlagRoughnessDLL) == 1 && FlagRoughnessDLL >= 0); }},
    {146, [](S& s, int n) { check(n, s.scan("%d", &FlagSuperCritical) == 1 && FlagSuperCritical >= 0); }},
    {149, [](S& s, int n) { check(n, s.scan("%lf %lf", &TurbMultVert, &TurbMultHor) == 2 && TurbMultVert >= 0 && TurbMultHor >= 0); }},
    {150, [](S& s, int n) { check(n, s.scan("%d %d", &WallChoiseForm, &WallChoiseSed) == 2 && WallChoiseForm >= 0 && WallChoiseSed >= 0); }},
    {151, [](S& s, int n) { check(n, s.scan("%d %lf", &FlagTSCMinDepth, &TSCMinDepth) == 2 && FlagTSCMinDepth >= 0); }},
    {154, [](S& s, int n) { check(n, s.scan("%d %lf", &SurfSmoothFlag, &SurfSmoothVal) == 2 && SurfSmoothFlag >= 0); }},
    {155, [](S& s, int n) { check(n, s.scan("%d %d", &Flag1BedChange, &Flag2BedChange) == 2 && Flag1BedChange >= 0 && Flag2BedChange >= 0); }},
    {158, [](S& s, int n) { check(n, s.scan("%d %lf", &FlagSentripental, &SentripentalVelo) == 2 && FlagSentripental >= 0); }},
    {161, [](S& s, int n) { check(n, s.scan("%d", &FlagFluxTurb) == 1 && FlagFluxTurb >= 0); }},
    {167, [](S& s, int n) { check(n, s.scan("%d", &FlagRoughSmooth) == 1 && FlagRoughSmooth >= 0); }},
    {169, [](S& s, int n) { check(n, s.scan("%d %lf", &FlagHideEx, &HideExParam) == 2); }},
    {173, [](S& s, int n) { check(n, s.scan("%d", &FlagBedshearGrad) == 1); }},
    {174, [](S& s, int n) {
         check(n, s.scan("%d", &FlagCyclic) == 1);
         if (s.scan("%d", &FlagCyclicS) != 1) FlagCyclicS = 0;
     }},
    {176, [](S& s, int n) { check(n, s.scan("%d %lf", &FlagRBedformsmooth, &RBedformsmooth) == 2); }},
    {185, [](S& s, int n) { check(n, s.scan("%d %lf", &FlagSurfEps, &SurfEpsCoeff) == 2); }},
    {189, [](S& s, int n) { check(n, s.scan("%d %lf", &FlagScotti, &ParamScotti) == 2); }},
    {190, [](S& s, int n) { check(n, s.scan("%d", &FlagCohesive) == 1); }},
    {194, [](S& s, int n) { check(n, s.scan("%lf", &TurbCoeffVeg) == 1); }},
    {195, [](S& s, int n) { check(n, s.scan("%lf %lf", &XksJ1, &XksJ2) == 2); }},
    {196, [](S& s, int n) { check(n, s.scan("%d", &FlagMaxShear) == 1); }},
    {197, [](S& s, int n) { check(n, s.scan("%d", &DESFlag) == 1); }},
    {198, [](S& s, int n) { check(n, s.scan("%d", &FlagSlideDLL) == 1); }},
    {199, [](S& s, int n) { read_schmidt_per_size(s, n); }},
    {200, [](S& s, int n) { check(n, s.scan(" %d %lf %lf", &FlagNormSet, &NormK, &NormEps) == 3 && FlagNormSet >= 0 && NormK >= 0 && NormEps >= 0); }},
    {206, [](S& s, int n) { read_thread_count(s, n); }},
    {207, [](S& s, int n) {
         check(n, s.scan("%d %d", &FlagStress1DLL, &AllocStress1DLL) == 2 && AllocStress1DLL >= 0);
         int loops;
         if (s.scan("%d", &loops) == 1) NoLoopStress = loops;
     }},
    {208, [](S& s, int n) { check(n, s.scan("%d", &FlagTimeOrder) == 1); }},
    {211, [](S& s, int n) { check(n, s.scan("%lf", &ConvergenceCriteria) == 1 && ConvergenceCriteria >= 0); }},
};
// clang-format on

using FTable = std::array<void (*)(S&, int), HighestF + 1>;

const FTable& f_table()
{
    static const FTable table = [] {
        FTable t{};
        for (const FEntry& e : f_data_sets) t[e.number] = e.read;
        return t;
    }();
    return table;
}

}  // namespace

void read_F(TextScanner& s)
{
    int n;
    if (!read_data_set_number(s, n)) return;
    if (n < 0 || n > HighestF) return;
    if (auto read = f_table()[n]) read(s, n);
}

// Second pass: the run string and the option letters are taken again exactly
// as the first pass took them, so that neither is mistaken for a data set.
void skip_F_second_pass(TextScanner& s)
{
    int n;
    if (!read_data_set_number(s, n)) return;
    if (n == 2) {
        s.skip_line();
    } else if (n == 7) {
        for (int k = 1; k <= OptionLetters; ++k) {
            int c = s.get();
            if (c == EOF || c == '\n') return;
        }
    }
}

}  // namespace zefra
