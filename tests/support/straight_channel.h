// Test support: a straight channel of 10 m by `width` cells with a bed falling
// by 0.5 per mille, run through the program entry, and the figures the whole
// runs compare: section discharges and speeds, section-mean bed shear.
#pragma once

#include <string>

namespace zefra::test {

// Writes `koordina` for x by y node lines; the plan is turned by `rotation`
// degrees and the cross-sections are skewed by `skew` degrees against the axis.
void write_straight_channel(int x, int y, double rotation = 0.0, double skew = 0.0, double width = 2.0);

double section_discharge(int i);   // through the I-faces of node line i, m3/s
double section_speed(int i);       // that discharge over the section's area
double section_bed_shear(int i);   // mean over the cells of column row i, N/m2

}  // namespace zefra::test
