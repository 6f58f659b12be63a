// Porous bed and vegetation settings (F 7 P, F 22, F 25, F 31).
#pragma once

namespace zefra {

inline int FlagBedPoros = 0;   // F 7 P: allocates the porosity arrays
inline int FlagInitPoros = 0;  // the porous layer is built (file `porosity` read, or under the moving bed)
inline int FlagInitVeg = 0;    // the file `vegdata` is read
inline double MinPorosity = 0.35;
inline double RelaxPorosity = 2.0;
inline double RoughPoros1 = 0.5;
inline double RoughPoros2 = 0.8;
inline int DiamPoros = 5;
inline double PorosMult1 = 0.8;
inline double PorosMult2 = 0.8;

void default_porous_settings();

}  // namespace zefra
