#include "loops/trimGraph.h"

namespace lentaro {

Service<TrimGraph> trimGraph{madeAtFirstUse<NoTrimGraph>};

} // namespace lentaro
