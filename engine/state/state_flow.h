// Flow-solver settings: discharge and levels, outer-iteration and linear-solver
// controls per equation, pressure coupling, time stepping, forcing terms and
// the thread count of the parallel variants.
#pragma once

namespace zefra {

// W 1: initial Manning-Strickler coefficient, discharge and downstream level.
inline double ManningInit = 50.0;
inline double discharge = 0.0;
inline double level = 0.0;

// Per-equation settings, indexed by the equation number.
constexpr int EquationCapacity = 20;
inline double relax[EquationCapacity];  // K 3
inline int sweeps[EquationCapacity];    // K 4
inline int blockcorr[EquationCapacity]; // K 5
inline int sou[EquationCapacity];       // K 6: convection scheme

inline double convergence = 1e-6;           // F 3
inline double ConvergenceCriteria = 0.001;  // F 211
inline double InputErrorLimit = 1e9;        // F 38
inline long iterGlobalMax = 40000;          // K 1
inline int GaussIter = 10;                  // F 59
inline char simple = 'Y';                   // K 9: SIMPLE ('Y') or SIMPLEC
inline char conti = 'N';                    // K 8
inline char lcray = 'Y';                    // K 10: point Gauss-Seidel ('Y') or line TDMA
inline int FlagUnderflow = 0;               // F 43
inline int FlagNormSet = 0;                 // F 200
inline double NormK = 1e-4;
inline double NormEps = 1e-4;

// Pressure coupling.
inline int FlagPresGrad = 1;       // F 46
inline double RelaxRhieChow = 1.0; // F 21; negative allocates invFlow
inline int FlagRhieChow = 0;       // F 113
inline double InitPres = 0.0;      // F 19
inline int Hydrostatic = 0;        // F 68
inline int PresRegres = 0;         // F 143
inline int RegIter = 0;
inline double Plimit = 0.0;        // F 133
inline int Pnloops = 0;

// Inflow and outflow.
inline int FlagFlowDirCor = 0;      // F 7 E
inline int FlagInflowDirection = 0; // F 7 I
inline int FlagInZero = 1;          // F 7 C clears it
inline int FlagCyclic = 0;          // F 174
inline int FlagCyclicS = 0;
inline int FlagDischargeTime = 0;
inline int SpecEnergy = 0;          // G 9
inline double twoDratio = 0.0;      // F 32

// Time stepping.  A run is transient when TimeStep > 1e-8.
inline double TimeStep = 1e-20;     // F 17, F 33
inline int TransInnerIter = 1;      // F 33
inline double TimeBreakLimit = 1e-7;// F 54
inline int FlagTimeOrder = 0;       // F 208
inline int ArrayTimeSteps = 200;    // F 81: capacity of the time-series arrays
inline int TimeInNo = 0;
inline int TimePrintNo = 0;
inline int FlagJTime = 0;

// Forcing: Coriolis, wind, seiches, temperature.
inline double Coriolis = 0.0;  // F 51
inline int FlagCoriolis = 0;
inline double Wind[3];         // F 52
inline int WindFlag = 0;       // F 73
inline int Seiche1 = 0, Seiche2 = 0, Seiche3 = 0, Seiche4 = 0, Seiche5 = 0;  // F 69
inline int Seiche6 = 0, Seiche7 = 0, Seiche8 = 0, Seiche9 = 0, Seiche10 = 0;
inline int FlagTemp = 0;       // F 49

// Solver state: the equation now assembled or solved (1, 2, 3 velocities,
// 4 pressure correction, 5 k, 6 epsilon, 8 temperature), the outer iteration,
// residuals, their scales, the relaxation factors in use and the time.
inline int Equation = 0;
inline long Iter = 0;
inline long PrintResIter = 0;  // outer iterations over all calls of the flow solver
inline int CyclicCount = 0;    // passes of a cyclic channel through the convergence test
inline double NormResidual[EquationCapacity];  // scale of each equation's residual
inline double MaxResidual[EquationCapacity];   // largest scaled residual of the last iteration
inline double relaxVelocity = 0.0, relaxPressure = 0.0, relaxK = 0.0, relaxEpsilon = 0.0;
inline double stime = 0.0;                     // time of a transient run, s

// The convection scheme (K 6 numbering: 0 power law, 1 second-order upwind,
// 2 central, 3 QUICK; -1 none, as for the pressure correction) of the routine
// that last filled the neighbour coefficients.  The second-neighbour
// coefficients take part in relaxation, residual and solver exactly when it is
// 1 or 3.
inline int FilledScheme = -1;

// Parallel execution.
inline int NoProcessesSolver = 0;  // F 206
constexpr int OpenMPFlagCapacity = 40;
inline int FlagOpenMP[OpenMPFlagCapacity];  // G 50

void default_flow_settings();

}  // namespace zefra
