kestrun_fuzz(biff_records SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/biff_records.cpp DEPS kestrun_xls_records)
