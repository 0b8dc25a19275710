kestrun_bench(sql_queries SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/sql_queries.cpp DEPS kestrun_sql kestrun_sampledata SQLite::SQLite3)
