#include "export/trim_loops.h"

// Not built yet
ProError CollectSurfaceTrimLoop(ProContour, ProError, ProAppData) { return PRO_TK_NO_ERROR; }
// Not built yet
ProError CollectContourEdgeCurve(ProEdge, ProError, ProAppData) { return PRO_TK_NO_ERROR; }
// Not built yet
std::list<ProCurvedata*> ChainTrimLoop(std::list<ProCurvedata*> curves) { return curves; }
// Not built yet
void OrientTrimLoop(std::list<ProCurvedata*>&, ProContourTraversal) {}
// Not built yet
void ReverseBsplineCurve(ProCurvedata*, ProCurvedata*) {}
// Not built yet
std::vector<size_t> ChainOrder(const std::vector<TrimCurveEnds>&) { return {}; }
// Not built yet
int WindingVote(const std::vector<TrimPoint>&) { return 0; }
// Not built yet
bool LoopNeedsReversal(int, ProContourTraversal) { return false; }
// Not built yet
void MirrorKnots(const double*, int, double*) {}
