kestrun_bench(xls_read_cells SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/xls_read_cells.cpp DEPS kestrun_xls_workbook)
