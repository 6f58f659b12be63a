// Data sets read in the second pass over `control`, after the field arrays
// exist: B (bed grain composition from a sample) and W 5 (Manning-Strickler
// coefficient per cross-section).
#include <algorithm>

#include "engine/common/boogie.h"
#include "engine/input/data_sets.h"
#include "engine/state/fields.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_sediment.h"

namespace zefra {

// B s i1 i2 j1 j2: the bed in the box takes the fractions of sample s (both
// layers); a negative s sets only the inactive layer below, from sample -s.
// s = 0 means the whole bed.  The box is clipped to the bed arrays.
void read_B(TextScanner& s)
{
    int sample, i1, i2, j1, j2;
    if (s.scan(" %d %d %d %d %d", &sample, &i1, &i2, &j1, &j2) != 5) return;
    if (sample == 0) {
        i1 = 1;
        i2 = xnumber + 1;
        j1 = 1;
        j2 = ynumber + 1;
    }
    if (sample < -19 || sample > 19 || i1 > xnumber + 1 || i2 < 1 || j1 > ynumber || j2 < 2 || j1 > j2 || i1 > i2)
        input_error("Input error for B in control");
    i1 = std::max(i1, 1);
    j1 = std::max(j1, 1);
    i2 = std::min(i2, xnumber + 1);
    j2 = std::min(j2, ynumber + 1);

    const int sizes = std::min(lnumber, SizeCapacity - 1);
    const double* fractions = SedimentSample[sample < 0 ? -sample : sample];
    for (int l = 1; l <= sizes; ++l)
        for (int i = i1; i <= i2; ++i)
            for (int j = j1; j <= j2; ++j) {
                BedGrainOriginal[l][i][j] = fractions[l];
                if (sample >= 0) bedgrain[l][i][j] = fractions[l];
            }
    if (sample >= 0)
        for (int i = i1; i <= i2; ++i)
            for (int j = j1; j <= j2; ++j) intBedSediment[i][j] = sample;
}

// W 5 n, then n pairs of cross-section index and coefficient.  A pair that
// cannot be read keeps the values before it and is checked as read; the data
// set then ends, since nothing more can be read from it.
void read_manning_profile(TextScanner& s)
{
    int pairs;
    if (s.scan(" %d", &pairs) != 1) return;
    int i = -1;
    double value = 0.0;
    for (int n = 0; n < pairs; ++n) {
        bool complete = s.scan("%d", &i) == 1;
        complete = s.scan("%lf", &value) == 1 && complete;
        if (i < 0 || i > xnumber + 1) input_error("Input error for W 5 in control, wrong integer index");
        if (value < 1 || value > 180)
            log_and_end(1, "Input error for W 5 in control, i=%d\nManning's factor outside allowable range\n", i);
        ManArray[i] = value;
        if (!complete) return;
    }
}

void read_W_second_pass(TextScanner& s)
{
    int n;
    if (read_data_set_number(s, n) && n == 5) read_manning_profile(s);
}

}  // namespace zefra
