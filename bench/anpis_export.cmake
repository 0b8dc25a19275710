kestrun_bench(anpis_export SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/anpis_export.cpp DEPS kestrun_exports kestrun_sampledata)
