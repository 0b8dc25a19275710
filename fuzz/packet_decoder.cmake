kestrun_fuzz(packet_decoder SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/packet_decoder.cpp DEPS kestrun_remote)
