kestrun_bench(xls_open_save SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/xls_open_save.cpp DEPS kestrun_xls_workbook)
