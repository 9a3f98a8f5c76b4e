#include "module/board_registry.h"

#include "base/init_order.h"
#include "card/model.h"

RecordArray<CModel> g_vecModel TVX_INIT_ORDER(TVX_ORDER_BOARD_REGISTRY);

CModel* FindModel(int gpuId) { return FindRecord(g_vecModel, gpuId); }
