kestrun_bench(report_eval_vs_sqlite SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/report_eval_vs_sqlite.cpp
              DEPS kestrun_reports_eval SQLite::SQLite3)
