kestrun_fuzz(dbf_reader SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/dbf_reader.cpp DEPS kestrun_db)
