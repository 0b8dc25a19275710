kestrun_fuzz(xls_workbook SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/xls_workbook.cpp DEPS kestrun_xls_workbook)
