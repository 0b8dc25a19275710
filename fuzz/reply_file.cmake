kestrun_fuzz(reply_file SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/reply_file.cpp DEPS kestrun_remote)
