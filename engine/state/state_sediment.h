// Sediment and morphology settings: grain sizes and samples, transport
// formula, bed-change controls and the switches of the morphology drivers.
#pragma once

namespace zefra {

constexpr int SizeCapacity = 20;    // per-size tables, index 1 ... lnumber
constexpr int SampleCapacity = 20;  // bed samples 0 ... 19

inline char SedimentFormula = 'R';  // F 10
inline double density = 2.65;       // F 11: sediment density / water density
inline double shieldscoeff = 0.047;
inline double Schmidt = 1.0;        // F 12
inline double invSchmidt[SizeCapacity];  // F 12, F 199
inline double gsize[SizeCapacity];       // S: grain size
inline double fallvelo[SizeCapacity];    // S: fall velocity
inline double cohesive[SizeCapacity];    // F 131
inline double inflow[SizeCapacity];      // I: inflow concentration
inline double pointsource[SizeCapacity]; // G 4, G 5
inline int SizeDataSetsRead = 0;         // at least one S data set was read

// Results of the suspended-sediment solver per size: sediment leaving the
// domain (kg/s) and the trap efficiency (per cent of the given inflow).
inline double outflow[SizeCapacity];
inline double trapped[SizeCapacity];
inline int indexl = 1;             // the size the sediment solvers work on
inline int CyclicSCopies = 0;      // outflow-to-inflow copies made so far (F 174, negative count)

inline double SedimentSample[SampleCapacity][SizeCapacity];  // N: fractions
inline int SampleNo = 0;

// Point source box (G 4, G 5).
inline int i_pointsource = 0, i2_pointsource = 0;
inline int j_pointsource = 0, j2_pointsource = 0;
inline int k_pointsource = 0, k2_pointsource = 0;

// Bed concentration formulas.
inline double ConcFormCoeff = 0.015, ConcFormTstar = 1.5, ConcFormDstar = 0.3;  // F 6
inline double ConcFormBCoeff = 0.053, ConcFormBTstar = 2.1, ConcFormBDstar = 0.3, ConcFormBD50 = 1.5;  // F 83
inline double MaxBedConc = 0.3;    // F 55
inline double maxgrain = 0.0;      // F 106
inline int FlagCohesive = 0;       // F 190
inline int FlagHideEx = 0;         // F 169
inline double HideExParam = 0.0;

// Steady morphology.
inline double relax_morph = 0.5;   // F 4
inline int iter_morph = 500;
inline double conv_morph = 1e-5;
inline double SinReposeAngle = 48.0;  // F 5
inline double MaxBedChange = 0.1;     // F 8
inline double AccBedChange = 1.0;     // F 39
inline double ConvCoef = 0.5;         // F 26
inline double FillPart = 0.0;         // F 23: accelerated deposition
inline double FillCriteria = 0.0;
inline int SedimentScheme = 0;        // F 27
inline double relaxBedShear = 0.5;    // F 35
inline int BedInitDistrib = 0;
inline int BedRecIter = 5;

// Transient morphology.
inline int FlagTSC = 0;            // F 37: driver of letter S
inline double MorphTimeStep = 0.1;
inline int TSCbedrouse = 0;        // F 60
inline int TSCbedforms = 0;
inline int FlagTSCMinDepth = 0;    // F 151
inline double TSCMinDepth = -1.0;
inline int FlagSedimSolver = 0;
inline int FlagReadFracres = 0;
inline int FlagTimeiConc = 0;

// Bed load, slopes and sliding.
inline int BedLoadFlag = 0;              // F 84
inline int BedLoadVectorFlag = 0;        // F 78: allocates aeb ... asb
inline double BedLoadVectorParam = 0.0;
inline int IterAvalanche = 0;            // F 56
inline double AngleAvalanche = 1.0;
inline double BedCritTanSlopeUp = 1.23;  // F 109
inline double BedCritTanSlopeDown = 0.78;
inline double BedCritMinDamp = 0.2;
inline int FlagBedGradient = 0;          // F 7 N
inline int FlagBedslopeCorrection = 0;   // F 7 B
inline int FlagBedshearGrad = 0;         // F 173
inline int FlagMaxShear = 0;             // F 196
inline int FlagBedInterpol = 0;          // F 129
inline int FlagBedSmooth = 0;            // F 144
inline double ParamBedSmooth = 0.0;
inline int Flag1BedChange = 0;           // F 155
inline int Flag2BedChange = 0;
inline int FlagSentripental = 0;         // F 158
inline double SentripentalVelo = 0.0;
inline int FlagRBedformsmooth = 0;       // F 176
inline double RBedformsmooth = 0.0;

constexpr int BedFlagCapacity = 10;
inline int BedFlags[BedFlagCapacity];    // F 30, entries 0 ... 5

// Accelerated-deposition smearing (F 28).
inline int ADFlag = 1;
inline int ADSmearNo = 2;
inline int ADConvNo = 0;
inline double ADSmearLim = 1.0;

void default_sediment_settings();

}  // namespace zefra
