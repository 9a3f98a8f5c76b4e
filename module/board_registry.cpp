#include "board_registry.h"

#include "init_order.h"
#include "model.h"

RecordArray<CModel> g_vecModel TVX_INIT_ORDER(TVX_ORDER_BOARD_REGISTRY);

CModel* FindModel(int gpuId) { return FindRecord(g_vecModel, gpuId); }
