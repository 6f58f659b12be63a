// Stored bed level changes of an earlier run (`loggfil.pre`), applied to the
// grid before the flow is initialised.
// Reads `loggfil.pre`; writes zval and `koordina.new`.
#pragma once

namespace zefra {

constexpr const char* StoredBedChangeFile = "loggfil.pre";

// Reads `loggfil.pre` block by block and adds each block's bed changes to the
// bed nodes; every column keeps at least TSCMinDepth of water.
void bed_logg();

}  // namespace zefra
