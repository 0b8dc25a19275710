kestrun_fuzz(rtf_filler SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/rtf_filler.cpp DEPS kestrun_documents)
