kestrun_fuzz(archive_reader SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/archive_reader.cpp DEPS kestrun_core)
