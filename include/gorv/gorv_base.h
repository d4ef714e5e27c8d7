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
#include <gorv/platform/win_registry.h>
#include <gorv/platform/afx_gdi.h>
#include <gorv/platform/afx_wnd.h>
#include <gorv/platform/afx_ctrl.h>
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

// ---- datafile ----
#include <gorv/datafile/bn_file.h>
#include <gorv/datafile/bn_file_result.h>
#include <gorv/datafile/bn_file_survey.h>
#include <gorv/datafile/data_file_position.h>
// ---- end datafile ----
// ---- env ----
#include <gorv/env/registry.h>
#include <gorv/env/product.h>
#include <gorv/env/test_env_mgr.h>
// ---- end env ----
// ---- ui ----
#include <gorv/ui/ext_list_ctrl.h>
#include <gorv/ui/text_progress_ctrl.h>
// ---- end ui ----
