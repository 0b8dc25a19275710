kestrun_bench(dbf_scan SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/dbf_scan.cpp DEPS kestrun_db kestrun_sql kestrun_tables kestrun_sampledata)
