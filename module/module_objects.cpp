#include "module/module_objects.h"

#include "base/init_order.h"
#include "module/app.h"

CTorvexModuleApp theApp TVX_INIT_ORDER(TVX_ORDER_APP);
Guarded<RecordArray<CModel>> g_boards TVX_INIT_ORDER(TVX_ORDER_BOARD_REGISTRY);
Guarded<SensorCatalogue> g_sensors;
Guarded<HelperChannel> g_helper;
