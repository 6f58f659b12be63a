// Bed concentration of every grain size in every water column: the volume
// concentration the sediment solver holds at the bed, stored at vertical
// index 0 of conc (conc[l][i][j][0], i = 1 ... x+1, j = 2 ... y).
// Reads the bed shear, the bed-cell velocity and k, the cell heights, the
// bed normals, bedgrain and BedGrainOriginal, the per-size tables and the
// sediment settings; writes conc[l][i][j][0], and as noted below
// bedslope_correction, D90a, Bedformheight and Xks.
#pragma once

namespace zefra {

// Factor of the critical shear stress for the slope of the bed, from the
// angle of repose: cos(beta) sqrt(1 - (tan beta / tan phi)^2), never below
// cos(beta) sqrt(0.19).  Writes bedslope_correction (1 in the end rows).
void bedslope_corr();

// van Rijn's reference concentration at the reference level (half the bed
// cell), with the bed load of BedLoadFlag, a fixed critical Shields number
// or the Shields curve, the slope correction, cohesion and the skin-friction
// factor.  Also writes D90a, Bedformheight and the bed roughness Xks of
// FlagRoughness 2 to 5.  Writes no log.
void concRijn();

// The transport formulas of SedimentFormula (Engelund-Hansen, Meyer-Peter-
// Mueller, Einstein, Ackers-White, Shen-Hung, Yang), each rate divided by
// the sediment flux a unit bed concentration carries through the column.
// Logs its warnings; without a log it computes nothing.  Einstein's formula
// with no flow in a bed cell that carries sediment ends the run (status 1).
void concEngelund();

// The shape of the concentration profile over column (i, j) for size l with
// which the transport formulas carry the bed concentration: share[k] is the
// concentration of cell k = 2 ... znumber relative to the bed cell, 1 in the
// bed cell and above it the Rouse profile ((h - z) / z  a / (h - a))^Z at the
// cell centres (z above the bed, h the depth, a = blevel, Z = w / (kappa u*),
// u* from the bed shear), never above 1.  `share` holds znumber + 1 values.
void concentration_profile(int i, int j, int l, double* share);

}  // namespace zefra
