// Plot files: Tecplot ASCII point format and legacy VTK structured grids.
//
// Plot points of the 3D files are the cell centres of i = 1 ... xnumber+1,
// j = 1 ... ynumber+1 in plan (the boundary cells sit on the outline) and,
// over the depth, the bed (k = 1), the cell centres (k = 2 ... znumber) and
// the surface (k = znumber+1).  Values are those of cell (i, j, k); on the
// surface layer cell quantities come from the top cell.
//
// Numbers are written so that any reader takes them: a value that is not a
// number is written as 0 and one beyond the range of a float is held at it,
// since the VTK files declare float data.  VTK scalar names are single words
// (blanks become underscores): a legacy VTK reader ends a name at a blank.
#include "engine/output/plot_files.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "engine/common/output_file.h"
#include "engine/common/run_account.h"
#include "engine/common/run_exit.h"
#include "engine/common/status.h"
#include "engine/grid/columns.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_output.h"
#include "engine/state/state_plugins.h"
#include "engine/state/state_quality.h"
#include "engine/state/state_run.h"
#include "engine/state/state_sediment.h"
#include "engine/state/state_tables.h"
#include "engine/state/state_turbulence.h"
#include "engine/turbulence/model_constants.h"

namespace zefra {

namespace {

constexpr char Quote = 34;
constexpr double FloatLimit = 3.0e38;

// A value every reader takes: not-a-number as 0, beyond a float's range held.
double printable(double v)
{
    if (std::isnan(v)) return 0.0;
    return std::clamp(v, -FloatLimit, FloatLimit);
}

// The name of a plot file: the fixed name, or the next name of its series.
std::string plot_file_name(const char* fixed, const char* stem, const char* extension)
{
    return PrintRes != 0 && stem ? next_series_name(stem, extension) : std::string(fixed);
}

// A plot file that cannot be opened ends the run with status -3.
void require_open(const OutputFile& out)
{
    if (out.is_open()) return;
    set_statusf(mc_message, "cannot open file '%s' ", out.name().c_str());
    end_run(-3);
}

// A complete plot file takes its name and counts among the files written.
void finish(OutputFile& out, const char* status)
{
    out.commit();
    account_file(out.name().c_str());
    set_status(mc_message, status);
}

// The title of the run, from its second character, with double quotes
// replaced so that it cannot end a quoted Tecplot string.
std::string title_text()
{
    std::string text = Title + 1;
    std::replace(text.begin(), text.end(), '"', '\'');
    return text;
}

// Plan position of plot point (i, j).
double plan_x(int i, int j)
{
    return corner_mean(i, j, [](int a, int b) { return xval[a][b]; });
}

double plan_y(int i, int j)
{
    return corner_mean(i, j, [](int a, int b) { return yval[a][b]; });
}

double grid_line_level(int i, int j, int line)
{
    return corner_mean(i, j, [line](int a, int b) { return zval[a][b][line]; });
}

// Height of plot point (i, j, k).
double point_z(int i, int j, int k)
{
    if (k == 1) return grid_line_level(i, j, 1);
    if (k == znumber + 1) return grid_line_level(i, j, znumber);
    return 0.5 * (grid_line_level(i, j, k) + grid_line_level(i, j, k - 1));
}

double water_level(int i, int j)
{
    return grid_line_level(i, j, znumber);
}

double bed_level(int i, int j)
{
    return grid_line_level(i, j, 1);
}

// Kinematic eddy viscosity of cell (i, j, k), m2/s.
double eddy_viscosity(int i, int j, int k)
{
    const double kk = kinen[i][j][k], e = epsilon[i][j][k];
    if (k_epsilon_model()) return CMu * kk * kk / (e + 1e-20);
    if (k_omega_model()) return kk / (e + 1e-20);
    if (one_equation_model()) return kk;
    return ArtEddyVisc / 1000.0;
}

double horizontal_speed(int i, int j, int k)
{
    return std::hypot(xvel[i][j][k], yvel[i][j][k]);
}

// Mean of sqrt(u^2 + v^2) over the column and the Froude number of the mean.
double column_mean_speed(int i, int j)
{
    double sum = 0.0;
    for (int k = 2; k <= znumber; ++k) sum += horizontal_speed(i, j, k);
    return sum / (znumber - 1);
}

double froude(int i, int j)
{
    double half_depth = 0.0;
    for (int k = 2; k <= znumber; ++k) half_depth += m_dist_z[i][j][k];
    return column_mean_speed(i, j) / std::sqrt(19.62 * half_depth + 1e-30);
}

double vertical_temperature_gradient(int i, int j, int k)
{
    if (!temp || k < 2 || k > znumber) return 0.0;
    const double dz = m_dist_z[i][j][k - 1] + 2.0 * m_dist_z[i][j][k] + m_dist_z[i][j][k + 1];
    return (temp[i][j][k + 1] - temp[i][j][k - 1]) / (dz + 1e-30);
}

// Value of a G 24 variable at plot point (i, j, k); 0 where the quantity is
// not defined or not kept by this run.
double variable_value(const TecStrucRecord& r, int i, int j, int k)
{
    const int c = std::min(k, znumber);  // cell of the point
    const int b = r.size;
    switch (r.code) {
    case 'A': return D90a ? D90a[i][j] : 0.0;
    case 'D': return column_mean_speed(i, j);
    case 'F': return froude(i, j);
    case 'P': return Porosity ? Porosity[i][j][c] : 0.0;
    case 'V':
    case 'u': return horizontal_speed(i, j, c);
    case 'a': return d50(i, j, false);
    case 'J': return d50(i, j, true);
    case 'I': return 0.001 * gamaV[i][j][c];
    case 'b': return Bedformheight[i][j];
    case 'c': return conc && b >= 0 && b < conc.extent(0) ? conc[b][i][j][c] : 0.0;
    case 'd': return eddy_viscosity(i, j, c);
    case 'e': return epsilon[i][j][c];
    case 'f': return bedgrain && lnode >= 0 && lnode < bedgrain.extent(0) ? bedgrain[lnode][i][j] : 0.0;
    case 'h': return Xks[i][j] / (water_level(i, j) - bed_level(i, j) + 1e-20);
    case 'i': return znumber - 1;
    case 'k': return kinen[i][j][c];
    case 'm': return bedshear[i][j];
    case 'p': return Pres[i][j][c];
    case 'q': return comp && b >= 0 && b < comp.extent(0) ? comp[b][i][j][c] : 0.0;
    case 'r': return Xks[i][j];
    case 's': return BedMove[i][j];
    case 'v': return water_level(i, j);
    case 'w': return zvel[i][j][c];
    case 'x': return vertical_temperature_gradient(i, j, c);
    case 'y': return water_level(i, j) - bed_level(i, j);
    case 'z': return bed_level(i, j);
    default: return 0.0;  // residuals (E, H, K, R, W) and sediment layers are not kept per cell
    }
}

// Tecplot title of a G 24 variable (with its quotes).
std::string tecplot_title(const TecStrucRecord& r)
{
    char text[80];
    const int a = r.level, b = r.size;
    switch (r.code) {
    case 'A': std::snprintf(text, sizeof text, "D90"); break;
    case 'D': std::snprintf(text, sizeof text, "Depth-averaged velocity"); break;
    case 'E': std::snprintf(text, sizeof text, "Residual epsilon %d ", a); break;
    case 'F': std::snprintf(text, sizeof text, "Froude number"); break;
    case 'H': std::snprintf(text, sizeof text, "Residual horizontal velocity %d ", a); break;
    case 'K': std::snprintf(text, sizeof text, "Residual k %d ", a); break;
    case 'L': std::snprintf(text, sizeof text, "Top sediment layer thickness"); break;
    case 'P': std::snprintf(text, sizeof text, "Porosity %d ", a); break;
    case 'R': std::snprintf(text, sizeof text, "Residual pressure %d ", a); break;
    case 'V':
    case 'u': std::snprintf(text, sizeof text, "Horiz. velocity"); break;
    case 'W': std::snprintf(text, sizeof text, "Residual vertical velocity %d ", a); break;
    case 'a': std::snprintf(text, sizeof text, "D50"); break;
    case 'b': std::snprintf(text, sizeof text, "Bed form height"); break;
    case 'c': std::snprintf(text, sizeof text, "Sediment conc. lev %d size %d", a, b); break;
    case 'd': std::snprintf(text, sizeof text, "Eddy-viscosity %d ", a); break;
    case 'e': std::snprintf(text, sizeof text, "Epsilon"); break;
    case 'f': std::snprintf(text, sizeof text, "Bed sediment fraction, size %d", lnode); break;
    case 'h': std::snprintf(text, sizeof text, "Roughness/Depth"); break;
    case 'i': std::snprintf(text, sizeof text, "No. cells vertical direction"); break;
    case 'k': std::snprintf(text, sizeof text, "Turbulent k %d ", a); break;
    case 'l': std::snprintf(text, sizeof text, "Bed sediment thickness"); break;
    case 'm': std::snprintf(text, sizeof text, "Bed shear"); break;
    case 'p': std::snprintf(text, sizeof text, "Pressure %d ", a); break;
    case 'q': std::snprintf(text, sizeof text, "Water Quality %d ", a); break;
    case 'r': std::snprintf(text, sizeof text, "Roughness"); break;
    case 's': std::snprintf(text, sizeof text, "Bed movement"); break;
    case 't': std::snprintf(text, sizeof text, "Sediment thickness"); break;
    case 'v': std::snprintf(text, sizeof text, "Water level"); break;
    case 'w': std::snprintf(text, sizeof text, "Uz %d ", a); break;
    case 'x': std::snprintf(text, sizeof text, "Temperature gradient"); break;
    case 'y': std::snprintf(text, sizeof text, "Depth"); break;
    case 'z': std::snprintf(text, sizeof text, "Bed level"); break;
    default: std::snprintf(text, sizeof text, "Error"); break;
    }
    return text;
}

// VTK scalar name: the Tecplot title's words joined by underscores, with the
// dot of "Horiz." and the comma of the fraction title left out.
std::string vtk_name(const TecStrucRecord& r)
{
    char text[80];
    const int a = r.level, b = r.size;
    switch (r.code) {
    case 'H': std::snprintf(text, sizeof text, "Residual_horizontal_velocity_%d", a); break;
    case 'R': std::snprintf(text, sizeof text, "Residual_pressure_%d", a); break;
    case 'V':
    case 'u': std::snprintf(text, sizeof text, "Horiz_velocity"); break;
    case 'W': std::snprintf(text, sizeof text, "Residual_vertical_velocity_%d", a); break;
    case 'c': std::snprintf(text, sizeof text, "Sediment_conc_lev_%d_size_%d", a, b); break;
    case 'f': std::snprintf(text, sizeof text, "Bed_sediment_fraction_size_%d", lnode); break;
    case 'i': std::snprintf(text, sizeof text, "No_cells_vertical_direction"); break;
    case 'p': std::snprintf(text, sizeof text, "Pressure_%d", a); break;
    case 'q': std::snprintf(text, sizeof text, "Water_Quality_%d", a); break;
    default: {
        std::string name = tecplot_title(r);
        while (!name.empty() && name.back() == ' ') name.pop_back();
        std::replace(name.begin(), name.end(), ' ', '_');
        return name;
    }
    }
    return text;
}

// " %lg" for a G 24 value, " 0.0" for a tiny one.
void write_variable(std::FILE* fp, double v)
{
    v = printable(v);
    if (std::fabs(v) >= 1e-14)
        std::fprintf(fp, " %lg", v);
    else
        std::fprintf(fp, " 0.0");
}

void write_points(std::FILE* fp, int layers, int (*layer_k)(int))
{
    for (int n = 1; n <= layers; ++n) {
        const int k = layer_k(n);
        for (int j = 1; j <= ynumber + 1; ++j)
            for (int i = 1; i <= xnumber + 1; ++i)
                std::fprintf(fp, "%lf %lf %lf\n", printable(plan_x(i, j)), printable(plan_y(i, j)), printable(point_z(i, j, k)));
    }
}

int same_layer(int n)
{
    return n;
}

// Layers of the two-layer VTK file: the bed and the surface.
int bed_or_surface(int n)
{
    return n == 1 ? 1 : znumber + 1;
}

// Cell whose values a layer of the two-layer file shows.
int cell_of_2d_layer(int n)
{
    return n == 1 ? 2 : znumber;
}

void write_vtk_header(std::FILE* fp, int layers)
{
    const long points = static_cast<long>(xnumber + 1) * (ynumber + 1) * layers;
    std::fprintf(fp, "# vtk DataFile Version 2.0\n");
    std::fprintf(fp, "ZEFRA 1 %s \n", title_text().c_str());
    std::fprintf(fp, "ASCII\n");
    std::fprintf(fp, "DATASET STRUCTURED_GRID\n");
    std::fprintf(fp, "DIMENSIONS %d %d %d\n", xnumber + 1, ynumber + 1, layers);
    std::fprintf(fp, "POINTS %ld float\n", points);
}

// Scalars of the G 24 records and the velocity vectors: the scalars of point
// layer m show cell value_k(m), the vectors cell vector_k(m).
void write_vtk_data(std::FILE* fp, int layers, int (*value_k)(int), int (*vector_k)(int))
{
    const long points = static_cast<long>(xnumber + 1) * (ynumber + 1) * layers;
    std::fprintf(fp, "POINT_DATA %ld\n", points);
    for (int n = 0; n < TecStrucNo; ++n) {
        const TecStrucRecord& r = TecStruc[n];
        lnode = r.size;
        std::fprintf(fp, "\nSCALARS %s float\n", vtk_name(r).c_str());
        std::fprintf(fp, "LOOKUP_TABLE default\n");
        for (int m = 1; m <= layers; ++m)
            for (int j = 1; j <= ynumber + 1; ++j) {
                for (int i = 1; i <= xnumber + 1; ++i) write_variable(fp, variable_value(r, i, j, value_k(m)));
                std::fprintf(fp, "\n");
            }
    }
    std::fprintf(fp, "\nVECTORS Velocities float\n");
    for (int m = 1; m <= layers; ++m) {
        const int k = vector_k(m);
        for (int j = 1; j <= ynumber + 1; ++j)
            for (int i = 1; i <= xnumber + 1; ++i)
                std::fprintf(fp, "%lf %lf %lf\n", printable(xvel[i][j][k]), printable(yvel[i][j][k]), printable(zvel[i][j][k]));
    }
}

// Cell shown at a point layer of the 3D VTK file: the top cell on the
// surface layer of an open channel.
int cell_of_3d_layer(int k)
{
    return k == znumber + 1 && FlagRoof == 1 ? znumber : k;
}

}  // namespace

std::string next_series_name(const char* stem, const char* extension)
{
    char name[64];
    for (long n = 0; n < 999999; ++n) {
        std::snprintf(name, sizeof name, "%s%05ld%s", stem, n, extension);
        std::FILE* fp = std::fopen(name, "r");
        if (!fp) return name;
        std::fclose(fp);
    }
    return name;
}

double d50(int i, int j, bool original)
{
    const Field3 fractions = original ? BedGrainOriginal : bedgrain;
    const int top = lnumber;
    if (!fractions || top < 1) return top >= 1 ? gsize[1] : 0.0;
    double s = 0.5 * fractions[top][i][j];
    if (s > 0.5) return gsize[top];
    s = fractions[top][i][j];
    int l = top - 1;
    for (; l >= 1; --l) {
        s += 0.5 * fractions[l][i][j];
        if (s > 0.5 || l == 1) break;
        s += 0.5 * fractions[l][i][j];
    }
    if (l < 1) return gsize[1];
    if (s >= 0.5) {
        const double r = std::clamp(2.0 * (s - 0.5) / (fractions[l + 1][i][j] + fractions[l][i][j] + 1e-30), 0.0, 1.0);
        return (1.0 - r) * gsize[l] + r * gsize[l + 1];
    }
    return gsize[1];
}

void write_cell_table()
{
    OutputFile out(plot_file_name("tecplot", nullptr, nullptr));
    require_open(out);
    std::FILE* fp = out.get();
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 2; k <= znumber; ++k)
                std::fprintf(fp, "%le %le %le %le %le %le %le %le %le\n", printable(plan_x(i, j)), printable(plan_y(i, j)),
                             printable(point_z(i, j, k)), printable(xvel[i][j][k]), printable(yvel[i][j][k]),
                             printable(zvel[i][j][k]), printable(Pres[i][j][k]), printable(kinen[i][j][k]), printable(epsilon[i][j][k]));
    finish(out, "have written Tecplot file  ");
}

void write_tecplot_3d()
{
    OutputFile out(plot_file_name("tecplot3.dat", "tec3_", ".dat"));
    require_open(out);
    std::FILE* fp = out.get();
    const bool stresses = FlagInterpolVal == 12 && FlagStress1DLL != 0;
    std::fprintf(fp, "TITLE = %c%s%c\n", Quote, title_text().c_str(), Quote);
    std::fprintf(fp, "VARIABLES=%cX1%c,%cX2%c,%cX3%c,%cU1%c,%cU2%c,%cU3%c", Quote, Quote, Quote, Quote, Quote, Quote, Quote, Quote, Quote,
                 Quote, Quote, Quote);
    if (stresses)
        for (const char* t : {"T11", "T12", "T13", "T21", "T22", "T23", "T31", "T32", "T33"}) std::fprintf(fp, ",%c%s%c", Quote, t, Quote);
    for (int n = 0; n < TecStrucNo; ++n) std::fprintf(fp, ",%c%s%c", Quote, tecplot_title(TecStruc[n]).c_str(), Quote);
    std::fprintf(fp, "\n");
    std::fprintf(fp, "ZONE I=%d,J=%d,K=%d F=POINT\n", xnumber + 1, ynumber + 1, znumber + 1);
    for (int k = 1; k <= znumber + 1; ++k)
        for (int j = 1; j <= ynumber + 1; ++j)
            for (int i = 1; i <= xnumber + 1; ++i) {
                std::fprintf(fp, "%lf %lf %lf %lf %lf %lf", printable(plan_x(i, j)), printable(plan_y(i, j)), printable(point_z(i, j, k)),
                             printable(xvel[i][j][k]), printable(yvel[i][j][k]), printable(zvel[i][j][k]));
                if (stresses)
                    for (int m = 0; m < 9; ++m) std::fprintf(fp, " %le", m < Rstress.extent(0) ? printable(Rstress[m][i][j][k]) : 0.0);
                for (int n = 0; n < TecStrucNo; ++n) {
                    lnode = TecStruc[n].size;
                    write_variable(fp, variable_value(TecStruc[n], i, j, k));
                }
                std::fprintf(fp, "\n");
            }
    finish(out, "have written Tecplot 3D file  ");
}

void write_tecplot_2d()
{
    OutputFile out(plot_file_name("tecplot2.dat", "tec2_", ".dat"));
    require_open(out);
    std::FILE* fp = out.get();
    std::fprintf(fp, "TITLE = %cPLAN-3_%s%c\n", Quote, title_text().c_str(), Quote);
    std::fprintf(fp, "VARIABLES=");
    const char* names[] = {"X1", "X2", "BED", "U_bed", "V_bed", "W_bed", "P_bed", "K_bed", "EPS_bed", "CONC_bed", "WL", "Depth", "BECH", "ROUGH"};
    for (int n = 0; n < 14; ++n) std::fprintf(fp, "%s%c%s%c", n ? "," : "", Quote, names[n], Quote);
    if (BedLoadVectorFlag > 0) std::fprintf(fp, ",%cUS_bed%c,%cVS_bed%c", Quote, Quote, Quote, Quote);
    if (lnumber > 1) std::fprintf(fp, ",%cD50%c", Quote, Quote);
    std::fprintf(fp, "\n");
    std::fprintf(fp, "ZONE I=%d,J=%d,F=POINT\n", xnumber + 1, ynumber + 1);
    for (int j = 1; j <= ynumber + 1; ++j)
        for (int i = 1; i <= xnumber + 1; ++i) {
            const double bed = grid_line_level(i, j, 0), wl = water_level(i, j);
            const double original = corner_mean(i, j, [](int a, int b) { return Surfaces[0][a][b]; });
            const double values[14] = {plan_x(i, j),     plan_y(i, j),       bed,        xvel[i][j][2], yvel[i][j][2],
                                       zvel[i][j][2],    Pres[i][j][2],      kinen[i][j][2], epsilon[i][j][2], conc[0][i][j][2],
                                       wl,               wl - bed,           bed - original, Xks[i][j]};
            for (double v : values) std::fprintf(fp, "%lf ", printable(v));
            if (BedLoadVectorFlag > 0) std::fprintf(fp, "%lf %lf ", printable(xvel[i][j][1]), printable(yvel[i][j][1]));
            if (lnumber > 1) std::fprintf(fp, "%lf ", printable(d50(i, j, false)));
            std::fprintf(fp, "\n");
        }
    finish(out, "have written Tecplot 2D file  ");
}

void write_vtk_3d()
{
    OutputFile out(plot_file_name("ParaView3.vtk", "pav3_", ".vtk"));
    require_open(out);
    std::FILE* fp = out.get();
    write_vtk_header(fp, znumber + 1);
    write_points(fp, znumber + 1, same_layer);
    std::fprintf(fp, "\n");
    write_vtk_data(fp, znumber + 1, same_layer, cell_of_3d_layer);
    finish(out, "have written ParaView 3D file  ");
}

void write_vtk_2d()
{
    OutputFile out(plot_file_name("ParaView2.vtk", "pav2_", ".vtk"));
    require_open(out);
    std::FILE* fp = out.get();
    write_vtk_header(fp, 2);
    write_points(fp, 2, bed_or_surface);
    std::fprintf(fp, "\n");
    write_vtk_data(fp, 2, cell_of_2d_layer, cell_of_2d_layer);
    finish(out, "have written ParaView 2D file  ");
}

}  // namespace zefra
