// Umbrella header of Gorv Base: includes every public header of the library, nothing else.
#pragma once

// ---- platform ----
#include <gorv/platform/afx_types.h>
#include <gorv/platform/gorv_export.h>
#include <gorv/platform/afx_except.h>
#include <gorv/platform/afx_string.h>
#include <gorv/platform/afx_coll.h>
#include <gorv/platform/afx_file.h>
#include <gorv/platform/afx_module.h>
#include <gorv/version.h>
// ---- end platform ----

// ---- frame ----
#include <gorv/frame/gorv_lib.h>
#include <gorv/frame/dgn_msg_info.h>
// ---- end frame ----

// ---- text ----
#include <gorv/text/str_res.h>
#include <gorv/text/msg_dll.h>
// ---- end text ----

// ---- geom ----
#include <gorv/geom/geom_types.h>
#include <gorv/geom/polygon_boolean.h>
#include <gorv/geom/gorv_math_func.h>
#include <gorv/geom/gorv_func.h>
#include <gorv/geom/comp_func.h>
#include <gorv/geom/geom_func.h>
#include <gorv/geom/arc_util.h>
#include <gorv/geom/gorv_func_toolkit.h>
// ---- end geom ----

// ---- sort ----
#include <gorv/sort/gorv_qsort.h>
// ---- end sort ----

// ---- unit ----
#include <gorv/unit/gorv_base_unit.h>
// ---- end unit ----

// ---- overlay ----
#include <gorv/overlay/overlay.h>
// ---- end overlay ----

// ---- section ----
#include <gorv/section/sect_types.h>
#include <gorv/section/sect_model.h>
// ---- end section ----
