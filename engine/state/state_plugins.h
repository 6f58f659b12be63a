// Switches that hand a step of the computation to a user-supplied routine in
// place of the built-in one (F 111 ... F 129, F 198, F 207).
#pragma once

namespace zefra {

inline int FlagBedDLL = 0;        // F 111
inline int FlagDragDLL = 0;       // F 115: also allocates the porosity arrays
inline int FlagSurfDLL = 0;       // F 116
inline int FlagIODLL = 0;         // F 117
inline int FlagCofDLL = 0;        // F 118
inline int FlagPresDLL = 0;       // F 119
inline int FlagWallDLL = 0;       // F 120
inline int FlagTurbDLL = 0;       // F 121
inline int FlagCompDLL = 0;       // F 122
inline int FlagTSCDLL = 0;        // F 125
inline int FlagFlowDLL = 0;       // F 127
inline int FlagRoughnessDLL = 0;  // F 145
inline int FlagSlideDLL = 0;      // F 198
inline int FlagStress1DLL = 0;    // F 207: extra stress terms
inline int AllocStress1DLL = 9;   // F 207: number of stress arrays

void default_plugin_settings();

}  // namespace zefra
