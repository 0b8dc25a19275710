kestrun_fuzz(xlsx_workbook SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/xlsx_workbook.cpp DEPS kestrun_automation)
