// Water-quality components: their number, the H data-set tables, the Q terms
// and the component names.
#pragma once

namespace zefra {

inline int NoComponents = 0;  // F 50
inline int SouComp = 0;       // F 63: second-order scheme for components

constexpr int BioRecords = 15;
constexpr int BioPoints = 20;
struct BioRecord {
    double value[BioPoints];
    int first[BioPoints];
    int second[BioPoints];
    int count;
};
inline BioRecord Bio[BioRecords];  // H data sets, records 0 ... 14

constexpr int QTermCapacity = 200;
struct QTerm {
    int component;
    int code;
    int a;
    int b;
    double value1;
    double value2;
};
inline int NoTerms = 0;
inline QTerm QTerms[QTermCapacity];  // Q data sets

constexpr int QualityNameCount = 40;
constexpr int QualityNameSize = 40;  // 39 characters and the terminating NUL
inline char QualityName[QualityNameCount][QualityNameSize];

void default_quality_settings();

}  // namespace zefra
