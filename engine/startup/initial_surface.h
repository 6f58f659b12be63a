// Initial water surface and velocities: the backwater computation along the
// river (open channel) or the closed-conduit variant.
// Reads the grid, W 1 / W 2 and G 6; writes zval (re-levelled columns), the
// geometry, the section profiles (avvelocity, radius, grade), the first
// velocities, diff, kblok and the bed shear.
#pragma once

namespace zefra {

void initial();
void initial_tunnel();

// Wetted area A (without any guard), perimeter P (every bed segment of the
// section) and hydraulic radius R = A / (P + 1e-10) of cross-section i at
// level h.
struct CrossSection {
    double area;
    double perimeter;
    double radius;
};
CrossSection cross_section(int i, double h);

}  // namespace zefra
