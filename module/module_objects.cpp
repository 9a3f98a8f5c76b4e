#include "app.h"
#include "init_order.h"

CTorvexModuleApp theApp TVX_INIT_ORDER(TVX_ORDER_APP);
