kestrun_fuzz(report_expression SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/report_expression.cpp DEPS kestrun_reports_eval)
