kestrun_fuzz(saved_report SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/saved_report.cpp DEPS kestrun_reports_pages)
