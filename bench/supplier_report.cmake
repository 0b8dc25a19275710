kestrun_bench(supplier_report SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/supplier_report.cpp DEPS kestrun_suppliers kestrun_resources)
