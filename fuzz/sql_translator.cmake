kestrun_fuzz(sql_translator SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/sql_translator.cpp DEPS kestrun_sql SQLite::SQLite3)
