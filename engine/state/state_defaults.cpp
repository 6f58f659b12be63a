// Default values of every setting, as the control-file reader sets them before
// its first pass.  Each routine sets every variable of its group, so that these
// routines also serve the state reset.
#include <algorithm>
#include <climits>
#include <cstring>
#include <iterator>

#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_output.h"
#include "engine/state/state_plugins.h"
#include "engine/state/state_porous.h"
#include "engine/state/state_quality.h"
#include "engine/state/state_run.h"
#include "engine/state/state_sediment.h"
#include "engine/state/state_surface.h"
#include "engine/state/state_tables.h"
#include "engine/state/state_turbulence.h"

namespace zefra {

bool has_option(char letter)
{
    for (int n = 1; n < OptionsSize; ++n)
        if (options[n] == letter) return true;
    return false;
}

void default_run_settings()
{
    FlagErrorBreak = 0;
    FlagInitialized = 0;
    FlagDepthAveraged = 0;
    FlagFlowParamChange = 0;
    FlagSedimDial = 0;
    std::memset(run, 0, sizeof run);
    IterF2 = 1;
    debugging = 'N';
    std::memset(Title, 0, sizeof Title);
    std::memset(options, 0, sizeof options);
}

void reset_run_flags()
{
    gFlagRead = gFlagWriteR = gFlagFlow = gFlagSedim = gFlagComp = gFlagInit = 0;
    gFlagWriteX = gFlagMap = gFlagContour = gFlagLong = gFlagVerifyProfile = gFlagVerifyMap = 0;
    gFlagCross = gFlagAnim = gFlag3D = gFlagColorMap = gFlagVectorColorMap = gFlagVectorColorMap3D = 0;
    FlagGridChange = gFlagTemp = 0;
}

void default_grid_settings()
{
    std::fill(std::begin(zdistrib), std::end(zdistrib), 0.0);
    ZDistribRead = 0;
    initnumber = 0;
    std::fill(std::begin(initarray), std::end(initarray), 0);
    iblok1 = iblok2 = jblok1 = jblok2 = 0;
    BlockI = 1;
    BlockJ = BlockK = 0;
    MBNo = 0;
    std::fill(std::begin(MBSkjot), std::end(MBSkjot), 0);
    std::fill(std::begin(MBStart), std::end(MBStart), 0);
    FlagRoof = 1;
    Flag2Dim = 0;
    FlagXCYC = 0;
    FlagBlockBorder = 0;
    FlagDiffNonVert = 1;
    FlagLowerBed = LowerBedRule::None;
    LowerBedDepth = LowerBedLevel = 0.0;
}

void default_flow_settings()
{
    ManningInit = 50.0;
    discharge = level = 0.0;

    std::fill(std::begin(relax), std::end(relax), 0.0);
    relax[1] = relax[2] = relax[3] = 0.8;
    relax[4] = 0.2;
    relax[5] = relax[6] = 0.5;
    std::fill(std::begin(sweeps), std::end(sweeps), 1);
    sweeps[0] = 0;
    sweeps[4] = 5;
    std::fill(std::begin(blockcorr), std::end(blockcorr), 0);
    std::fill(std::begin(sou), std::end(sou), 0);
    FilledScheme = -1;

    convergence = 1e-6;
    ConvergenceCriteria = 0.001;
    InputErrorLimit = 1e9;
    iterGlobalMax = 40000;
    GaussIter = 10;
    simple = 'Y';
    conti = 'N';
    lcray = 'Y';
    FlagUnderflow = 0;
    FlagNormSet = 0;
    NormK = NormEps = 1e-4;

    FlagPresGrad = 1;
    RelaxRhieChow = 1.0;
    FlagRhieChow = 0;
    InitPres = 0.0;
    Hydrostatic = PresRegres = RegIter = 0;
    Plimit = 0.0;
    Pnloops = 0;

    FlagFlowDirCor = FlagInflowDirection = 0;
    FlagInZero = 1;
    FlagCyclic = FlagCyclicS = FlagDischargeTime = SpecEnergy = 0;
    twoDratio = 0.0;

    TimeStep = 1e-20;
    TransInnerIter = 1;
    TimeBreakLimit = 1e-7;
    FlagTimeOrder = 0;
    ArrayTimeSteps = 200;
    TimeInNo = TimePrintNo = FlagJTime = 0;

    Coriolis = 0.0;
    FlagCoriolis = 0;
    std::fill(std::begin(Wind), std::end(Wind), 0.0);
    WindFlag = 0;
    Seiche1 = Seiche2 = Seiche3 = Seiche4 = Seiche5 = 0;
    Seiche6 = Seiche7 = Seiche8 = Seiche9 = Seiche10 = 0;
    FlagTemp = 0;

    Equation = 0;
    Iter = 0;
    PrintResIter = 0;
    CyclicCount = 0;
    std::fill(std::begin(NormResidual), std::end(NormResidual), 0.0);
    std::fill(std::begin(MaxResidual), std::end(MaxResidual), 0.0);
    relaxVelocity = relaxPressure = relaxK = relaxEpsilon = 0.0;
    stime = 0.0;

    NoProcessesSolver = 0;
    std::fill(std::begin(FlagOpenMP), std::end(FlagOpenMP), 0);
}

void default_turbulence_settings()
{
    TurbulenceModel = 0;
    EddyMult = 1.0;
    ArtDiff = ArtEddyVisc = 0.0;
    TurbMultVert = TurbMultHor = 1.0;
    TurbCoeffVeg = relaxDensityTurb = 0.0;
    FlagFluxTurb = DESFlag = FlagStrat = FlagDensCurr = 0;
    SourDens = 0.0;
    StressDiff = 0.0;
    StressFlag = NoLoopStress = 0;
    FlagWall = FlagWallAll = 0;
    XksWall = XksJ1 = XksJ2 = -2.0;
    MinUPlus = MinUPlusK = 1.0;
    FlagScotti = 0;
    ParamScotti = 0.5;
    FlagSurfEps = 0;
    SurfEpsCoeff = 0.43;
    FlagZ0Small = FlagRoughness = Flag2BedRoughness = FlagRoughSmooth = 0;
    WallChoiseForm = WallChoiseSed = 0;
    Xkappa = 0.0;
    HRmulmin = 0.01;
    HRzmax = 2.0;
}

void default_surface_settings()
{
    iSurf = jSurf = kSurf = 0;
    RelaxSurface = 1.0;
    ConvSurface = 0.01;
    IterSurface = 50000;
    SurfaceConvergenceCrit = 0.001;
    SurfSmoothFlag = 0;
    SurfSmoothVal = 0.0;
    FlagSuperCritical = 0;
    FlagTFS = 0;
    TFStimeterm = 1;
    TFSpreszero = TFSmovewall = 0;
    TFSfroudeforward = 1;
    TFSdiffratio = 0.02;
    TFSdampwall = TFSdampobs = 2.0;
    TFStopvelocity = 0.0;
    TFSforcesource = 1.0;
    TFSuslope = 0.0;
    TFSflagUpwater = 0;
    TFSminDepth = 0.02;
}

void default_porous_settings()
{
    FlagBedPoros = FlagInitPoros = FlagInitVeg = 0;
    MinPorosity = 0.35;
    RelaxPorosity = 2.0;
    RoughPoros1 = 0.5;
    RoughPoros2 = 0.8;
    DiamPoros = 5;
    PorosMult1 = PorosMult2 = 0.8;
}

void default_plugin_settings()
{
    FlagBedDLL = FlagDragDLL = FlagSurfDLL = FlagIODLL = FlagCofDLL = FlagPresDLL = 0;
    FlagWallDLL = FlagTurbDLL = FlagCompDLL = FlagTSCDLL = FlagFlowDLL = 0;
    FlagRoughnessDLL = FlagSlideDLL = FlagStress1DLL = 0;
    AllocStress1DLL = 9;
}

void default_output_settings()
{
    PrintIterBoogie = 100;
    PrintIterRes = 100;
    PrintIterForce = 1;
    PrintIterTime = 1;
    PrintIterSurf = 100;
    PrintRes = FlagPrint = FlagPlotVertical = FlagInterpolVal = 0;
    InterLimit = 0.05;
    graph = 'g';
    rungraph = 'N';
    VerHorPar = 0;
    xscale = yscale = zscale = 1.0;
    movex = 0.0;
    movey = 0.25;
    MouseScale = 1.0;
    cgscale = dgscale = kgscale = vgscale = 1.0;
    xnode = ynode = znode = 2;
    lnode = 1;
    contourNo = 0;
    std::fill(std::begin(contourLevels), std::end(contourLevels), 0.0);
    InterpolNo = -1;
    InterresStarted = false;
}

void default_sediment_settings()
{
    SedimentFormula = 'R';
    density = 2.65;
    shieldscoeff = 0.047;
    Schmidt = 1.0;
    std::fill(std::begin(invSchmidt), std::end(invSchmidt), 1.0);
    for (double* table : {gsize, fallvelo, cohesive, inflow, pointsource, outflow, trapped})
        std::fill(table, table + SizeCapacity, 0.0);
    indexl = 1;
    CyclicSCopies = 0;
    SizeDataSetsRead = 0;
    for (auto& sample : SedimentSample) std::fill(std::begin(sample), std::end(sample), 0.0);
    SedimentSample[0][1] = 1.0;  // sample 0 is one single size
    SampleNo = 0;
    i_pointsource = i2_pointsource = j_pointsource = j2_pointsource = k_pointsource = k2_pointsource = 0;

    ConcFormCoeff = 0.015;
    ConcFormTstar = 1.5;
    ConcFormDstar = 0.3;
    ConcFormBCoeff = 0.053;
    ConcFormBTstar = 2.1;
    ConcFormBDstar = 0.3;
    ConcFormBD50 = 1.5;
    MaxBedConc = 0.3;
    maxgrain = 0.0;
    FlagCohesive = FlagHideEx = 0;
    HideExParam = 0.0;

    relax_morph = 0.5;
    iter_morph = 500;
    conv_morph = 1e-5;
    SinReposeAngle = 48.0;
    MaxBedChange = 0.1;
    AccBedChange = 1.0;
    ConvCoef = 0.5;
    FillPart = FillCriteria = 0.0;
    SedimentScheme = 0;
    relaxBedShear = 0.5;
    BedInitDistrib = 0;
    BedRecIter = 5;

    FlagTSC = 0;
    MorphTimeStep = 0.1;
    TSCbedrouse = TSCbedforms = FlagTSCMinDepth = 0;
    TSCMinDepth = -1.0;
    FlagSedimSolver = FlagReadFracres = FlagTimeiConc = 0;

    BedLoadFlag = BedLoadVectorFlag = 0;
    BedLoadVectorParam = 0.0;
    IterAvalanche = 0;
    AngleAvalanche = 1.0;
    BedCritTanSlopeUp = 1.23;
    BedCritTanSlopeDown = 0.78;
    BedCritMinDamp = 0.2;
    FlagBedGradient = FlagBedslopeCorrection = FlagBedshearGrad = FlagMaxShear = FlagBedInterpol = 0;
    FlagBedSmooth = 0;
    ParamBedSmooth = 0.0;
    Flag1BedChange = Flag2BedChange = FlagSentripental = FlagRBedformsmooth = 0;
    SentripentalVelo = RBedformsmooth = 0.0;
    std::fill(std::begin(BedFlags), std::end(BedFlags), 0);

    ADFlag = 1;
    ADSmearNo = 2;
    // With the sizes of the first scan of `control`, which G 1 has not checked
    // yet: counted in 64 bits and held within the range of the setting.
    ADConvNo = static_cast<int>(std::clamp(10LL * xnumber * ynumber, 0LL, static_cast<long long>(INT_MAX)));
    ADSmearLim = 1.0;
}

void default_quality_settings()
{
    NoComponents = SouComp = 0;
    for (BioRecord& r : Bio) r = BioRecord{};
    // Record 14: the default list of seven points (value, first, second integer).
    const double values[] = {-1.0, -0.1, -0.01, 0.01, 0.1, 1.0, 100.0};
    const int firsts[] = {3, 1, 2, 4, 8, 5, 7};
    for (int n = 0; n < 7; ++n) {
        Bio[14].value[n] = values[n];
        Bio[14].first[n] = firsts[n];
        Bio[14].second[n] = 2;
    }
    Bio[14].count = 7;
    NoTerms = 0;
    for (QTerm& t : QTerms) t = QTerm{};
    std::memset(QualityName, 0, sizeof QualityName);
}

void clear_tables()
{
    IONo = MInitNo = VolSourceNo = SedSourceNo = OutBlockNo = DebugDumpNo = DistribNo = 0;
    BorderSourceNo = sOpenGL3DNo = AreaSourceNo = PrintConcNo = NoLowFixLev = TecStrucNo = 0;
    NoVerttemp = MWallNo = FastNo = AttractNo = 0;
    std::fill(std::begin(IO), std::end(IO), IORecord{});
    std::fill(std::begin(MInit), std::end(MInit), MInitRecord{});
    std::fill(std::begin(VolSource), std::end(VolSource), VolSourceRecord{});
    std::fill(std::begin(SedSource), std::end(SedSource), SedSourceRecord{});
    std::fill(std::begin(OutBlock), std::end(OutBlock), OutBlockRecord{});
    std::fill(std::begin(DebugDump), std::end(DebugDump), DebugDumpRecord{});
    std::fill(std::begin(Distribution), std::end(Distribution), DistributionRecord{});
    std::fill(std::begin(BorderSource), std::end(BorderSource), BorderSourceRecord{});
    std::fill(std::begin(sOpenGl3D), std::end(sOpenGl3D), PlaneRecord{});
    std::fill(std::begin(AreaSource), std::end(AreaSource), AreaSourceRecord{});
    std::fill(std::begin(PrintConc), std::end(PrintConc), PrintConcRecord{});
    std::fill(std::begin(LowFixLev), std::end(LowFixLev), LowFixLevRecord{});
    std::fill(std::begin(TecStruc), std::end(TecStruc), TecStrucRecord{});
    for (auto& pair : Verttemp) pair[0] = pair[1] = 0.0;
    std::fill(std::begin(MWall), std::end(MWall), MWallRecord{});
    std::fill(std::begin(iFast), std::end(iFast), 0);
    std::fill(std::begin(jFast), std::end(jFast), 0);
    std::fill(std::begin(Attract), std::end(Attract), AttractRecord{});
    for (TimePrintRecord& r : TimePrint) {
        r.start = r.end = 0.0;
        r.count = 0;
    }
}

}  // namespace zefra
