// The field arrays: every quantity defined on the grid.  Each array is empty
// until `sialloc` allocates it (once, when its condition holds) and is never
// freed during a run.  Index ranges in the comments use x, y, z, l for
// xnumber, ynumber, znumber, lnumber; "0..x+2" means the values 0 ... x+2.
#pragma once

#include "engine/state/field_array.h"

namespace zefra {

// Bed-point coordinates and grid-line levels.
inline Field2 xval, yval;       // [0..x+2][0..y+2]
inline Field3 zval;             // [0..x+2][0..y+2][0..z+1]
inline Field3 Xc, Yc;           // [0..x+1][0..y+1][0..z+1] node coordinates per grid line
inline Field2 P, Q, m_armap;    // [0..x+1][0..y+1] plan fields
inline Field<float, 3> graphDum;  // [0..y+1][0..z+1][0..1] work field

// Porous bed and vegetation (FlagBedPoros = 1 or FlagDragDLL >= 1).
inline Field3 PorosityBed, LevPorosBed;  // [0..x+1][0..y+1][0..3]
inline Field3 Porosity, StemNumber, StemDiameter, DragCoeff, EpsilonCoeff;  // [0..x+1][0..y+1][0..z+1]

// Cell geometry.
inline Field3 m_ar_x, m_ar_y, m_ar_z, m_dist_x, m_dist_y, Volume, dz1, dz2, dz3;  // [0..x+1][0..y+1][0..z+1]
inline Field3 m_dist_z;         // [0..x+1][0..y+1][0..z+2]
inline Field3 m_vec_x, m_vec_y; // [0..x+1][0..y+1][0..1]
inline Field4 m_vec_z;          // [0..x+1][0..y+1][0..z+1][0..2]
inline Field2 dx1, dx2, dy1, dy2;  // [0..x+1][0..y+1]
inline Field3 Surfaces;         // [0..5][0..x+1][0..y+1]

// Flow variables.  `f` is the view of the variable now being solved.
inline Field3 xvel, yvel, zvel, kinen, epsilon, f;  // [0..x+2][0..y+2][0..z+2]
inline Field3 diff, k_diff, Pres, Stress;            // [0..x+1][0..y+1][0..z+1]
inline Field3 flow1, flow2, flow3;                   // face mass fluxes, kg/s

// Previous time levels (transient runs).
inline Field3 xvel_old, yvel_old, zvel_old, kinen_old, epsilon_old;
inline Field3 xvel_old2, yvel_old2, zvel_old2;  // FlagTimeOrder != 0
inline Field3 kinen_old2, epsilon_old2;         // FlagTimeOrder >= 2

// Temperature and water-quality components.
inline Field3 temp;      // [0..x+2][0..y+2][0..z+2], FlagTemp = 1
inline Field3 temp_old;  // [0..x+1][0..y+1][0..z+1], FlagTemp = 1, transient
inline Field4 comp;      // [0..c-1][0..x+2][0..y+2][0..z+2], c = NoComponents
inline Field4 comp_old;  // [0..c-1][0..x+1][0..y+1][0..z+1], transient

// Sediment concentration; vertical index 0 holds the bed concentration.
inline Field4 conc;      // [0..l+1][0..x+2][0..y+2][0..z+2]
inline Field4 conc_old;  // same, FlagTSC >= 1
// Depth-averaged sediment (FlagTSC = 2): the mean concentration of each size
// over the depth of every column, at index 0 as the columns of the flow, and
// its value at the start of the time step.
inline Field4 conc2D, conc2D_old;  // [0..l+1][0..x+2][0..y+2][0..0], FlagTSC = 2

// Discretisation coefficients.
inline Field3 ae, aw, an, as, wap, wat, wab, source;  // [0..x+1][0..y+1][0..z+1]
inline Field4 at, ab, ap;                             // [0..l][0..x+1][0..y+1][0..z+1]
inline Field4 catt, cabb;                             // SedimentScheme = 1
inline Field3 aee, aww, ann, ass, att, abb;           // second-order upwind neighbours
inline Field3 aeb, awb, anb, asb;                     // [0..l+1][0..x+2][0..y+2], bed-load vectors

// Pressure coupling.
inline Field3 invFlow;                  // RelaxRhieChow < 0
inline Field3 invAP, iAp, gama, gamaV;
inline Field3 invAPC;                   // simple != 'Y'

// Bed and grain fractions.
inline Field3 bedgrain, bedlevchange, BedGrainOriginal, BedGrainTop, BedSource;  // [0..l][0..x+1][0..y+1]
inline Field2 bedshear, mass, BedMove, blevel, bedslope_correction, BedChangeTotal, Bedformheight;
inline Field2 LineI, LineJ, Froude, Idh, Jdh, Xks, D90a, D50a;  // [0..x+1][0..y+1]
inline IField2 intBedSediment, LowerFixedLevel, kblok, twoD, MutBlock;

// Wall and block markers.
inline IField3 WallI, WallJ, WallK, Wall, OBlok;  // [0..x+1][0..y+1][0..z+1]

// Multi-block links.
inline IField3 Pi1MultiBlock;               // [0..x+1][0..y+1][0..2]
inline IField2 Pj1MultiBlock, Pj2MultiBlock;  // [0..x+1][0..1]
inline IField1 ISkjotMB;                    // [0..x+1]
inline Field4 MBFlow;                       // [0..MBNo][0..6][0..y+1][0..z+1]

// Streamwise profiles.
inline Field1 avvelocity, radius, grade, xdistance, ManArray;  // [0..x+1]

// Line-solver work space, n = max(x+3, y+3, z+3).
inline Field1 pt, qt;  // [0..n-1]
inline Field2 psc;     // [0..n-1][0..n-1]

// Extra stress terms.
inline Field4 Rstress;  // [0..s-1][0..x+1][0..y+1][0..z+1], s = AllocStress1DLL

// Time series input, t = ArrayTimeSteps (transient runs).
inline Field1 TimeInTime, TimeInTimStep, TimeInHinn, TimeInHout, Irradi, AirTemp, Tempinn;
inline Field2 Cinn;  // [0..t-1][0..19]
inline Field2 Winn;  // [0..t-1][0..2]
inline Field2 QDinn; // [0..t-1][0..10]

// Allocates every field array whose condition holds and that is still empty.
// Returns 0, or -1 when the log cannot be opened or memory runs out.
int sialloc();

// The bytes sialloc would take now for the arrays still empty, counted
// without allocating anything.
long field_bytes_needed();

// Whether those bytes fit into the physical memory of the machine: a run
// that cannot fit is stopped before anything is allocated or written, not
// killed by the system halfway through.
bool memory_suffices();

// Empties every field array (all are allocated again on first need).
void SetArraysZero();

}  // namespace zefra
