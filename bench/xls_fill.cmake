kestrun_bench(xls_fill SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/xls_fill.cpp DEPS kestrun_documents)
