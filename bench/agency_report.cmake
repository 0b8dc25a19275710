kestrun_bench(agency_report SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/agency_report.cpp
              DEPS kestrun_agencies kestrun_resources kestrun_sampledata SQLite::SQLite3)
target_include_directories(agency_report PRIVATE ${PROJECT_SOURCE_DIR}/tests)
