kestrun_bench(formula SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/formula.cpp DEPS kestrun_xls_formula kestrun_xls_workbook)
