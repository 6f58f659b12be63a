// The field-array allocator.  `sialloc` runs after the first pass over
// `control`, when the sizes and all switches are known, and again from the
// flow solver; each array is allocated only when it is still empty and its
// condition holds, so a later call allocates only what is missing.
#include "engine/state/fields.h"

#include <unistd.h>

#include <algorithm>

#include "engine/common/arith.h"
#include "engine/common/boogie.h"
#include "engine/common/status.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_plugins.h"
#include "engine/state/state_porous.h"
#include "engine/state/state_quality.h"
#include "engine/state/state_sediment.h"

namespace zefra {

namespace {

// Running allocation: stops at the first failure and keeps the byte count.
// A count-only pass adds up the bytes of every array that would be allocated
// and touches none.
struct Allocation {
    long bytes = 0;
    bool failed = false;
    bool count_only = false;

    template <class T, int N>
    void need(Field<T, N>& a, const std::type_identity_t<std::array<long, N>>& extent, bool condition = true)
    {
        if (failed || a || !condition) return;
        if (count_only) {
            double count = sizeof(T);
            for (long e : extent) count *= static_cast<double>(std::max(e, 0L));
            bytes = static_cast<long>(std::min(static_cast<double>(bytes) + count, 9e18));
            return;
        }
        if (!allocate_field(a, extent, bytes)) failed = true;
    }
};

bool any_second_order_scheme()
{
    for (int e = 1; e <= 6; ++e)
        if (sou[e] == 1 || sou[e] == 3) return true;
    return false;
}

// Every field array whose condition holds, with its index ranges.
void allocate_all(Allocation& a)
{
    const long x = xnumber, y = ynumber, z = znumber, l = lnumber;
    const bool transient = TimeStep > TransientTimeStepLimit;
    const bool porous = FlagBedPoros == 1 || FlagDragDLL >= 1;
    const long plan_x = x + 2, plan_y = y + 2, cell_z = z + 2;  // ranges 0..x+1, 0..y+1, 0..z+1
    const std::array<long, 3> cells{plan_x, plan_y, cell_z};
    const std::array<long, 3> cells_ghost{x + 3, y + 3, z + 3};  // 0..x+2 and so on
    const std::array<long, 2> plan{plan_x, plan_y};
    const std::array<long, 3> bed_l{l + 1, plan_x, plan_y};

    // Bed-point coordinates, grid-line levels, node coordinates, plan fields.
    a.need(xval, {x + 3, y + 3});
    a.need(yval, {x + 3, y + 3});
    a.need(zval, {x + 3, y + 3, cell_z});
    a.need(Xc, cells);
    a.need(Yc, cells);
    for (Field2* p : {&P, &Q, &m_armap}) a.need(*p, plan);
    a.need(graphDum, {plan_y, cell_z, 2});

    // Porous bed and vegetation.
    a.need(PorosityBed, {plan_x, plan_y, 4}, porous);
    a.need(LevPorosBed, {plan_x, plan_y, 4}, porous);
    for (Field3* p : {&Porosity, &StemNumber, &StemDiameter, &DragCoeff, &EpsilonCoeff}) a.need(*p, cells, porous);

    // Cell geometry.
    for (Field3* p : {&m_ar_x, &m_ar_y, &m_ar_z, &m_dist_x, &m_dist_y, &Volume, &dz1, &dz2, &dz3}) a.need(*p, cells);
    a.need(m_dist_z, {plan_x, plan_y, z + 3});
    a.need(m_vec_x, {plan_x, plan_y, 2});
    a.need(m_vec_y, {plan_x, plan_y, 2});
    a.need(m_vec_z, {plan_x, plan_y, cell_z, 3});
    for (Field2* p : {&dx1, &dx2, &dy1, &dy2}) a.need(*p, plan);
    a.need(Surfaces, {6, plan_x, plan_y});

    // Flow variables and face fluxes.
    for (Field3* p : {&xvel, &yvel, &zvel, &kinen, &epsilon, &f}) a.need(*p, cells_ghost);
    for (Field3* p : {&diff, &k_diff, &Pres, &Stress}) a.need(*p, cells);
    for (Field3* p : {&flow1, &flow2, &flow3}) a.need(*p, cells);

    // Previous time levels.
    for (Field3* p : {&xvel_old, &yvel_old, &zvel_old, &kinen_old, &epsilon_old}) a.need(*p, cells, transient);
    for (Field3* p : {&xvel_old2, &yvel_old2, &zvel_old2}) a.need(*p, cells, transient && FlagTimeOrder != 0);
    for (Field3* p : {&kinen_old2, &epsilon_old2}) a.need(*p, cells, transient && FlagTimeOrder >= 2);

    // Temperature and water-quality components.
    a.need(temp, cells_ghost, FlagTemp == 1);
    a.need(temp_old, cells, FlagTemp == 1 && transient);
    const long c = NoComponents;
    a.need(comp, {c, x + 3, y + 3, z + 3}, NoComponents > 0);
    a.need(comp_old, {c, plan_x, plan_y, cell_z}, NoComponents > 0 && transient);

    // Sediment concentration.
    a.need(conc, {l + 2, x + 3, y + 3, z + 3});
    a.need(conc_old, {l + 2, x + 3, y + 3, z + 3}, FlagTSC >= 1);
    for (Field4* p : {&conc2D, &conc2D_old}) a.need(*p, {l + 2, x + 3, y + 3, 1}, FlagTSC == 2);

    // Discretisation coefficients.
    for (Field3* p : {&ae, &aw, &an, &as, &wap, &wat, &wab, &source}) a.need(*p, cells);
    for (Field4* p : {&at, &ab, &ap}) a.need(*p, {l + 1, plan_x, plan_y, cell_z});
    for (Field4* p : {&catt, &cabb}) a.need(*p, {l + 1, plan_x, plan_y, cell_z}, SedimentScheme == 1);
    const bool second_order = any_second_order_scheme() || FlagCofDLL > 0 || SedimentScheme == 1 || SouComp == 1;
    for (Field3* p : {&aee, &aww, &ann, &ass, &att, &abb}) a.need(*p, cells, second_order);
    for (Field3* p : {&aeb, &awb, &anb, &asb}) a.need(*p, {l + 2, x + 3, y + 3}, BedLoadVectorFlag > 0);

    // Pressure coupling.
    a.need(invFlow, cells, RelaxRhieChow < 0);
    for (Field3* p : {&invAP, &iAp, &gama, &gamaV}) a.need(*p, cells);
    a.need(invAPC, cells, simple != 'Y');

    // Bed and grain fractions, bed fields.
    for (Field3* p : {&bedgrain, &bedlevchange, &BedGrainOriginal, &BedGrainTop, &BedSource}) a.need(*p, bed_l);
    for (Field2* p : {&bedshear, &mass, &BedMove, &blevel, &bedslope_correction, &BedChangeTotal, &Bedformheight,
                      &LineI, &LineJ, &Froude, &Idh, &Jdh, &Xks, &D90a, &D50a})
        a.need(*p, plan);
    for (IField2* p : {&intBedSediment, &LowerFixedLevel, &kblok, &twoD, &MutBlock}) a.need(*p, plan);

    // Wall and block markers, multi-block links.
    for (IField3* p : {&WallI, &WallJ, &WallK, &Wall, &OBlok}) a.need(*p, cells);
    a.need(Pi1MultiBlock, {plan_x, plan_y, 3});
    a.need(Pj1MultiBlock, {plan_x, 2});
    a.need(Pj2MultiBlock, {plan_x, 2});
    a.need(ISkjotMB, {plan_x});
    a.need(MBFlow, {MBNo + 1L, 7, plan_y, cell_z}, MBNo > 0);

    // Streamwise profiles.
    for (Field1* p : {&avvelocity, &radius, &grade, &xdistance, &ManArray}) a.need(*p, {plan_x});

    // Line-solver work space.
    const long n = std::max({x + 3, y + 3, z + 3});
    a.need(pt, {n});
    a.need(qt, {n});
    a.need(psc, {n, n});

    // Extra stress terms.
    a.need(Rstress, {static_cast<long>(AllocStress1DLL), plan_x, plan_y, cell_z}, FlagStress1DLL != 0);

    // Time series input.
    const long t = ArrayTimeSteps;
    for (Field1* p : {&TimeInTime, &TimeInTimStep, &TimeInHinn, &TimeInHout, &Irradi, &AirTemp, &Tempinn})
        a.need(*p, {t}, transient);
    a.need(Cinn, {t, 20}, transient);
    a.need(Winn, {t, 3}, transient);
    a.need(QDinn, {t, 11}, transient);
}

}  // namespace

long field_bytes_needed()
{
    Allocation a;
    a.count_only = true;
    allocate_all(a);
    return a.bytes;
}

bool memory_suffices()
{
    const long pages = sysconf(_SC_PHYS_PAGES), page = sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || page <= 0) return true;  // unknown: the allocation itself will tell
    return static_cast<double>(field_bytes_needed()) <= static_cast<double>(pages) * static_cast<double>(page);
}

int sialloc()
{
    Boogie log;
    if (!log) {
        set_status(mc_message, "cannot open file 'boogie'");
        return -1;
    }
    set_status(mc_message, "Initializing arrays");
    set_status(mc_program, " Initial - arrays ");
    log.print(" In initial - arrays \n\n");
    if (xnumber > InitArraySize - 3) log.print("Error - increase initarray index\n");

    Allocation a;
    allocate_all(a);
    if (a.failed) {
        log.print("Allocated %ld byte when out of memory\n", a.bytes);
        return -1;
    }
    log.print("End of initial - arrays\n");
    log.print("Have allocated %7.2f Mbytes\n\n", a.bytes * 1e-6);
    set_status(mc_message, "Initiation of arrays o.k");
    return 0;
}

void SetArraysZero()
{
    field_pool::release_all();
}

}  // namespace zefra
