#include "app.h"
#include "init_order.h"
#include "qlxsw_flag.h"

CTorvexModuleApp theApp TVX_INIT_ORDER(TVX_ORDER_APP);

bool g_bQLXSWPresent = false;
