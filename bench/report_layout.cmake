kestrun_bench(report_layout SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/report_layout.cpp
              DEPS kestrun_reports_demo)
