// Grid settings: the sizes of G 1, the vertical distribution of G 3, the
// blocked-out box of G 2, the multi-block joints of W 3, the initial-profile
// list of W 2 and the lower bed limit of F 41 / F 42.
#pragma once

namespace zefra {

// Grid lines in the streamwise (i), cross-stream (j) and vertical (k)
// directions, and the number of sediment sizes.
inline int xnumber = 0;
inline int ynumber = 0;
inline int znumber = 0;
inline int lnumber = 0;

constexpr int ZDistribSize = 1001;
inline double zdistrib[ZDistribSize];  // per cent of the depth, index 1 ... znumber
inline int ZDistribRead = 0;           // a G 3 data set was read

constexpr int InitArraySize = 3000;
inline int initnumber = 0;
inline int initarray[InitArraySize];  // W 2: cross-sections of the initial profile

inline int iblok1 = 0, iblok2 = 0, jblok1 = 0, jblok2 = 0;  // G 2
inline int BlockI = 1, BlockJ = 0, BlockK = 0;

constexpr int MultiBlockCapacity = 10;       // joints 1 ... 9
inline int MBNo = 0;                         // W 3
inline int MBSkjot[MultiBlockCapacity];      // grid line of each block joint
inline int MBStart[MultiBlockCapacity];      // signed start index of each side block

inline int FlagRoof = 1;        // K 2: 1 open water surface, 0 closed conduit
inline int Flag2Dim = 0;        // F 44: depth-averaged computation
inline int FlagXCYC = 0;        // F 7 X
inline int FlagBlockBorder = 0; // F 7 G
inline int FlagDiffNonVert = 1; // F 7 A clears it

// Lower bed limit below the initial bed (F 41: a depth; F 42: a level).  Of the
// two, the one read last applies.
enum class LowerBedRule { None, Depth, Level };
inline LowerBedRule FlagLowerBed = LowerBedRule::None;
inline double LowerBedDepth = 0.0;
inline double LowerBedLevel = 0.0;

void default_grid_settings();

}  // namespace zefra
