kestrun_fuzz(ole2_reader SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/ole2_reader.cpp DEPS kestrun_xls_storage)
