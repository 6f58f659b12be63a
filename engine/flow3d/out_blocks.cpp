// Pressure of the out-block cells: nothing reads it during the iterations
// (the faces of a box are walls for the pressure coupling), but a plot or a
// result file shows the box with the pressure of the water against it rather
// than a hole at 0 Pa.
#include "engine/flow3d/out_blocks.h"

namespace zefra {

void out_block_pressure()
{
    for (int n = 1; n <= OutBlockNo; ++n) {
        const OutBlockRecord& b = OutBlock[n];
        double around = 0.0;
        int count_around = 0;
        for (int pass = 0; pass < 2; ++pass)
            for (int i = b.i1; i <= b.i2; ++i)
                for (int j = b.j1; j <= b.j2; ++j)
                    for (int k = b.k1; k <= b.k2; ++k) {
                        double sum = 0.0;
                        int count = 0;
                        const int neighbour[6][3] = {{i - 1, j, k}, {i + 1, j, k}, {i, j - 1, k}, {i, j + 1, k}, {i, j, k - 1}, {i, j, k + 1}};
                        for (const auto& c : neighbour) {
                            if (c[0] < 2 || c[0] > xnumber || c[1] < 2 || c[1] > ynumber || c[2] < 2 || c[2] > znumber) continue;
                            if (OBlok[c[0]][c[1]][c[2]] == 0) continue;
                            sum += Pres[c[0]][c[1]][c[2]];
                            ++count;
                        }
                        if (pass == 0) {
                            around += sum;
                            count_around += count;
                        } else {
                            Pres[i][j][k] = count > 0 ? sum / count : (count_around > 0 ? around / count_around : 0.0);
                        }
                    }
    }
}

}  // namespace zefra
