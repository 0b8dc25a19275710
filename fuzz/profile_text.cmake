kestrun_fuzz(profile_text SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/profile_text.cpp DEPS kestrun_profile)
