// Restart files of the concentrations, the bed layers and the water-quality
// components.  The writers use "%e" (seven significant digits); the readers
// take whitespace-separated fields, collect a whole file first and store it
// only when every record is valid, so that a damaged file leaves the set-up
// values as they were.  Called by letter I (reading) and by the morphology
// drivers and the water-quality computation (writing).
#include "engine/sediment/restart_files.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/common/output_file.h"
#include "engine/common/run_account.h"
#include "engine/common/status.h"
#include "engine/state/fields.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_quality.h"
#include "engine/state/state_sediment.h"

namespace zefra {

namespace {

constexpr const char* ConcHeader = "Concentrations in volume fractions.\n i, j, k, concentration(size):\n\n";
constexpr const char* FracHeader = "Bed grain fractions(size) + i,j \n \n";

int sizes()
{
    return std::min(lnumber, SizeCapacity - 1);
}

// ---- writing ----------------------------------------------------------------

// Writes the cell records k = 2 ... z of every column, `values` numbers each.
template <class Value>
void write_cells(std::FILE* fp, int values, Value value)
{
    std::fputs(ConcHeader, fp);
    for (int i = 1; i <= xnumber + 1; ++i)
        for (int j = 1; j <= ynumber + 1; ++j)
            for (int k = 2; k <= znumber; ++k) {
                std::fprintf(fp, "%d %d %d ", i, j, k);
                for (int n = 0; n < values; ++n) std::fprintf(fp, "%e ", value(n, i, j, k));
                std::fputc('\n', fp);
            }
}

// Creates `name`, writes it with `body` (under a temporary name, renamed
// when complete) and reports a file that cannot be opened in mc_message; a
// write error ends the run with status -3.
template <class Body>
int write_file(const char* name, const char* open_failure, Body body)
{
    OutputFile out(name);
    if (!out.is_open()) {
        set_status(mc_message, open_failure);
        return 1;
    }
    body(out.get());
    out.commit();
    account_file(name);
    return 0;
}

// ---- reading ----------------------------------------------------------------

// Whitespace-separated fields of a text file.
class Fields {
public:
    explicit Fields(const char* name) : fp_(std::fopen(name, "r")) {}
    ~Fields()
    {
        if (fp_) std::fclose(fp_);
    }
    Fields(const Fields&) = delete;
    Fields& operator=(const Fields&) = delete;

    bool is_open() const { return fp_ != nullptr; }

    // Matches the header text; each blank or line end in it matches any run
    // of white space in the file, including none.
    bool header(const char* text)
    {
        for (const char* t = text; *t; ++t) {
            if (std::isspace(static_cast<unsigned char>(*t))) {
                skip_space();
                continue;
            }
            if (std::fgetc(fp_) != static_cast<unsigned char>(*t)) return false;
        }
        return true;
    }

    // The next field; false at the end of the file.
    bool next(std::string& field)
    {
        skip_space();
        field.clear();
        for (int c = std::fgetc(fp_); c != EOF && !std::isspace(c); c = std::fgetc(fp_)) field += static_cast<char>(c);
        return !field.empty();
    }

    bool integer(int& value)
    {
        std::string field;
        if (!next(field)) return false;
        char* end = nullptr;
        errno = 0;
        const long v = std::strtol(field.c_str(), &end, 10);
        if (*end != '\0' || errno != 0 || v < -2147483647L || v > 2147483647L) return false;
        value = static_cast<int>(v);
        return true;
    }

    bool real(double& value)
    {
        std::string field;
        if (!next(field)) return false;
        char* end = nullptr;
        value = std::strtod(field.c_str(), &end);
        return *end == '\0';
    }

    bool at_end()
    {
        skip_space();
        const int c = std::fgetc(fp_);
        if (c == EOF) return true;
        std::ungetc(c, fp_);
        return false;
    }

private:
    void skip_space()
    {
        int c;
        while ((c = std::fgetc(fp_)) != EOF && std::isspace(c)) {
        }
        if (c != EOF) std::ungetc(c, fp_);
    }

    std::FILE* fp_;
};

// Records of a cell file: i, j, k and `values` numbers each, collected
// before anything is stored.
struct CellRecords {
    std::vector<int> index;      // i, j, k of each record
    std::vector<double> value;   // `values` numbers of each record
};

// Reads the cell records of `name`: at most one per cell i = 1 ... x+1,
// j = 1 ... y+1, k = 1 ... z+1, in any order, until the file ends.
RestartRead read_cells(const char* name, int values, CellRecords& records)
{
    Fields file(name);
    if (!file.is_open()) return RestartRead::Missing;
    if (!file.header(ConcHeader)) return RestartRead::Unreadable;
    const long most = static_cast<long>(xnumber + 1) * (ynumber + 1) * (znumber + 1);
    for (long n = 0; n < most && !file.at_end(); ++n) {
        int i, j, k;
        if (!file.integer(i) || !file.integer(j) || !file.integer(k)) return RestartRead::Unreadable;
        if (i < 1 || i > xnumber + 1 || j < 1 || j > ynumber + 1 || k < 1 || k > znumber + 1) return RestartRead::OutsideGrid;
        records.index.insert(records.index.end(), {i, j, k});
        for (int m = 0; m < values; ++m) {
            double v;
            if (!file.real(v)) return RestartRead::Unreadable;
            records.value.push_back(v);
        }
    }
    return RestartRead::Read;
}

// Stores collected cell records through `store(n, i, j, k, value)`.
template <class Store>
void store_cells(const CellRecords& records, int values, Store store)
{
    for (std::size_t r = 0; r < records.index.size() / 3; ++r) {
        const int i = records.index[3 * r], j = records.index[3 * r + 1], k = records.index[3 * r + 2];
        for (int n = 0; n < values; ++n) store(n, i, j, k, records.value[r * values + n]);
    }
}

RestartRead read_conres()
{
    const int values = sizes() + 1;  // the total, then every size
    CellRecords records;
    const RestartRead result = read_cells("conres", values, records);
    if (result == RestartRead::Missing) set_status(mc_message, "have not used 'conres ' file ");
    if (result != RestartRead::Read) return result;
    store_cells(records, values, [](int l, int i, int j, int k, double v) { conc[l][i][j][k] = v; });
    return result;
}

RestartRead read_fracres()
{
    Fields file("fracres");
    if (!file.is_open()) {
        set_status(mc_message, "cannot open file 'fracres' ");
        return RestartRead::Missing;
    }
    if (!file.header(FracHeader)) return RestartRead::Unreadable;
    const int layer = sizes() + 1;  // thickness, then the fractions
    const long columns = static_cast<long>(xnumber + 1) * (ynumber + 1);
    std::vector<int> index;
    std::vector<double> value;
    for (long n = 0; n < columns; ++n) {
        int i, j;
        if (!file.integer(i) || !file.integer(j)) return RestartRead::Unreadable;
        if (i < 1 || i > xnumber + 1 || j < 1 || j > ynumber + 1) return RestartRead::OutsideGrid;
        index.insert(index.end(), {i, j});
        for (int m = 0; m < 2 * layer; ++m) {
            double v;
            if (!file.real(v)) return RestartRead::Unreadable;
            value.push_back(v);
        }
    }
    for (long n = 0; n < columns; ++n) {
        const int i = index[2 * n], j = index[2 * n + 1];
        const double* v = &value[n * 2 * layer];
        for (int l = 0; l < layer; ++l) {
            bedgrain[l][i][j] = v[l];
            BedGrainOriginal[l][i][j] = v[layer + l];
        }
    }
    FlagReadFracres = 1;
    return RestartRead::Read;
}

int fracres_code(RestartRead result)
{
    switch (result) {
    case RestartRead::Read: return FracresRead;
    case RestartRead::Missing: return FracresMissing;
    case RestartRead::OutsideGrid: return FracresOutsideGrid;
    case RestartRead::Unreadable: return FracresUnreadable;
    }
    return FracresUnreadable;
}

}  // namespace

int write_component_restart()
{
    return write_file("compres.new", "cannot open file 'compres.t' ", [](std::FILE* fp) {
        write_cells(fp, NoComponents, [](int m, int i, int j, int k) { return comp[m][i][j][k]; });
    });
}

RestartRead read_component_restart(const char* name)
{
    CellRecords records;
    const RestartRead result = read_cells(name, NoComponents, records);
    if (result == RestartRead::Missing) set_statusf(mc_message, "cannot open file '%s' ", name);
    if (result != RestartRead::Read) return result;
    store_cells(records, NoComponents, [](int m, int i, int j, int k, double v) { comp[m][i][j][k] = v; });
    return result;
}

int writeConRes()
{
    if (NoComponents >= 1) return write_component_restart();
    const int values = sizes() + 1;
    if (write_file("conres.new", "cannot open file 'conres.t' ", [values](std::FILE* fp) {
            write_cells(fp, values, [](int l, int i, int j, int k) { return conc[l][i][j][k]; });
        }) != 0)
        return 1;
    return write_file("fracres.new", "cannot open file 'fracres.new' ", [values](std::FILE* fp) {
        std::fputs("Bed grain fractions(size) + i,j \n \n", fp);
        for (int i = 1; i <= xnumber + 1; ++i)
            for (int j = 1; j <= ynumber + 1; ++j) {
                std::fprintf(fp, "%d %d ", i, j);
                for (int l = 0; l < values; ++l) std::fprintf(fp, "%e ", bedgrain[l][i][j]);
                for (int l = 0; l < values; ++l) std::fprintf(fp, "%e ", BedGrainOriginal[l][i][j]);
                std::fputc('\n', fp);
            }
    });
}

int readConRes(RestartReport& report)
{
    report.conres = read_conres();
    report.fracres = read_fracres();
    return fracres_code(report.fracres);
}

int readConRes()
{
    RestartReport report;
    return readConRes(report);
}

}  // namespace zefra
