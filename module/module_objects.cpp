#include "base/init_order.h"
#include "module/app.h"

CTorvexModuleApp theApp TVX_INIT_ORDER(TVX_ORDER_APP);
